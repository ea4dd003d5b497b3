#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace rf {

struct ViewFolders;

// The file-open dialog of the pages. It opens in the folder the user last took a file from (the firmware
// picker in the last firmware folder), else in the home folder, and remembers the folder of the chosen
// file. setNextFileName makes the next dialog return that name at once (an empty name stands for Cancel)
// without showing itself, so tests never block on it.
class FileDialog {
public:
    enum class Kind { Firmware, Other };

    // The chosen file, or an empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& caption, Kind kind, const QString& filter);
    static void setNextFileName(const QString& fileName);
    // The folders the dialogs open in and keep; changed runs after a chosen file has changed them. Without
    // folders (nullptr) the dialogs open in the home folder and remember nothing.
    static void UseFolders(ViewFolders* folders, std::function<void()> changed);

private:
    static std::optional<QString> nextFileName_;
    static ViewFolders* folders_;
    static std::function<void()> changed_;
};

} // namespace rf
