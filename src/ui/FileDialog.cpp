#include "ui/FileDialog.h"

#include "core/ViewState.h"
#include "ui/QtConvert.h"

#include <QDir>
#include <QFileDialog>

namespace rf {

std::optional<QString> FileDialog::nextFileName_;
ViewFolders* FileDialog::folders_ = nullptr;
std::function<void()> FileDialog::changed_;

std::optional<QString> FileDialog::TakeNextFileName() {
    std::optional<QString> name = nextFileName_;
    nextFileName_.reset();
    return name;
}

QString FileDialog::StartFolder(Kind kind) {
    const std::string home = ToStdString(QDir::homePath());
    return ToQString(folders_ != nullptr ? DialogStartFolder(*folders_, kind == Kind::Firmware, home) : home);
}

QString FileDialog::Remember(Kind kind, const QString& chosen) {
    if (!chosen.isEmpty() && folders_ != nullptr) {
        RememberChosenFile(*folders_, kind == Kind::Firmware, ToStdString(chosen));
        if (changed_) {
            changed_();
        }
    }
    return chosen;
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, Kind kind,
                                    const QString& filter) {
    if (std::optional<QString> name = TakeNextFileName()) {
        return Remember(kind, *name);
    }
    return Remember(kind, QFileDialog::getOpenFileName(parent, caption, StartFolder(kind), filter));
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                    const QString& filters, QString* selectedFilter) {
    if (std::optional<QString> name = TakeNextFileName()) {
        return Remember(Kind::Other, *name);
    }
    const QString offered = QDir(StartFolder(Kind::Other)).filePath(fileName);
    return Remember(Kind::Other,
                    QFileDialog::getSaveFileName(parent, caption, offered, filters, selectedFilter));
}

void FileDialog::setNextFileName(const QString& fileName) {
    nextFileName_ = fileName;
}

void FileDialog::UseFolders(ViewFolders* folders, std::function<void()> changed) {
    folders_ = folders;
    changed_ = std::move(changed);
}

} // namespace rf
