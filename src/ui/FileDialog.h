#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace rf {

// The file dialogs of the pages. A dialog opens in the folder it is given, else in the last folder a
// dialog was used in, else in the user's home folder; never in the process's working folder.
// setNextFileName makes the next dialog return that name at once (an empty name stands for Cancel) without
// showing itself, so tests never block on it.
class FileDialog {
public:
    // The chosen file, or an empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter);
    // The file to write, or an empty text when the user cancels; fileName is the name offered (in the start
    // folder), selectedFilter gets the filter the user chose.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                   const QString& filters, QString* selectedFilter = nullptr);
    static void setNextFileName(const QString& fileName);

    // Where a dialog given directory opens.
    static QString startFolder(const QString& directory);
    static QString lastFolder() { return lastFolder_; }

private:
    static std::optional<QString> TakeNextFileName();
    static QString Remember(const QString& chosen);

    static std::optional<QString> nextFileName_;
    static QString lastFolder_;
};

} // namespace rf
