#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace rf {

// The file-open dialog of the pages. setNextFileName makes the next dialog return that name at once (an
// empty name stands for Cancel) without showing itself, so tests never block on it.
class FileDialog {
public:
    // The chosen file, or an empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter);
    static void setNextFileName(const QString& fileName);

private:
    static std::optional<QString> nextFileName_;
};

} // namespace rf
