#include "ui/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace rf {

std::optional<QString> FileDialog::nextFileName_;
QString FileDialog::lastFolder_;

QString FileDialog::startFolder(const QString& directory) {
    for (const QString& folder : {directory, lastFolder_}) {
        if (!folder.isEmpty() && QDir::isAbsolutePath(folder) && QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    return QDir::homePath();
}

std::optional<QString> FileDialog::TakeNextFileName() {
    std::optional<QString> name = nextFileName_;
    nextFileName_.reset();
    return name;
}

QString FileDialog::Remember(const QString& chosen) {
    if (!chosen.isEmpty()) {
        lastFolder_ = QFileInfo(chosen).absolutePath();
    }
    return chosen;
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                    const QString& filter) {
    if (std::optional<QString> name = TakeNextFileName()) {
        return Remember(*name);
    }
    return Remember(QFileDialog::getOpenFileName(parent, caption, startFolder(directory), filter));
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                    const QString& filters, QString* selectedFilter) {
    if (std::optional<QString> name = TakeNextFileName()) {
        return Remember(*name);
    }
    const QString offered = QDir(startFolder(QString())).filePath(fileName);
    return Remember(QFileDialog::getSaveFileName(parent, caption, offered, filters, selectedFilter));
}

void FileDialog::setNextFileName(const QString& fileName) {
    nextFileName_ = fileName;
}

} // namespace rf
