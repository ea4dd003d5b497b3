#include "app/ApplicationDlg.h"

#include "core/Language.h"

namespace rf {

CApplicationDlg::CApplicationDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ApplicationDlg"));
    setWindowTitle(QString::fromStdString(Translate("VEZEzizozodud")));
    resize(1024, 700);
}

} // namespace rf
