#include "ui/FileDialog.h"

#include <QFileDialog>

namespace rf {

std::optional<QString> FileDialog::nextFileName_;

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                    const QString& filter) {
    if (nextFileName_) {
        QString name = *nextFileName_;
        nextFileName_.reset();
        return name;
    }
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

void FileDialog::setNextFileName(const QString& fileName) {
    nextFileName_ = fileName;
}

} // namespace rf
