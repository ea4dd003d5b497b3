#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace rf {

struct ViewFolders;

// The file dialogs of the pages. They open in the folder the user last took a file from (the firmware
// picker in the last firmware folder), else in the home folder, never in the process's working folder, and
// remember the folder of the chosen file. setNextFileName makes the next dialog return that name at once (an
// empty name stands for Cancel) without showing itself, so tests never block on it.
class FileDialog {
public:
    enum class Kind { Firmware, Other };

    // The chosen file, or an empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& caption, Kind kind, const QString& filter);
    // The file to write, or an empty text when the user cancels; fileName is the name offered (in the start
    // folder), selectedFilter gets the filter the user chose.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                   const QString& filters, QString* selectedFilter = nullptr);
    static void setNextFileName(const QString& fileName);
    // The folders the dialogs open in and keep; changed runs after a chosen file has changed them. Without
    // folders (nullptr) the dialogs open in the home folder and remember nothing.
    static void UseFolders(ViewFolders* folders, std::function<void()> changed);

private:
    static std::optional<QString> TakeNextFileName();
    static QString StartFolder(Kind kind);
    static QString Remember(Kind kind, const QString& chosen);

    static std::optional<QString> nextFileName_;
    static ViewFolders* folders_;
    static std::function<void()> changed_;
};

} // namespace rf
