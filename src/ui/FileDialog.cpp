#include "ui/FileDialog.h"

#include "core/ViewState.h"
#include "ui/QtConvert.h"

#include <QDir>
#include <QFileDialog>

namespace rf {

std::optional<QString> FileDialog::nextFileName_;
ViewFolders* FileDialog::folders_ = nullptr;
std::function<void()> FileDialog::changed_;

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, Kind kind,
                                    const QString& filter) {
    const bool firmware = kind == Kind::Firmware;
    QString name;
    if (nextFileName_) {
        name = *nextFileName_;
        nextFileName_.reset();
    } else {
        const std::string home = ToStdString(QDir::homePath());
        const std::string start = folders_ != nullptr ? DialogStartFolder(*folders_, firmware, home) : home;
        name = QFileDialog::getOpenFileName(parent, caption, ToQString(start), filter);
    }
    if (!name.isEmpty() && folders_ != nullptr) {
        RememberChosenFile(*folders_, firmware, ToStdString(name));
        if (changed_) {
            changed_();
        }
    }
    return name;
}

void FileDialog::setNextFileName(const QString& fileName) {
    nextFileName_ = fileName;
}

void FileDialog::UseFolders(ViewFolders* folders, std::function<void()> changed) {
    folders_ = folders;
    changed_ = std::move(changed);
}

} // namespace rf
