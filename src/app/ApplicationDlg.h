#pragma once

#include <QWidget>

namespace rf {

// The main window.
class CApplicationDlg : public QWidget {
    Q_OBJECT

public:
    explicit CApplicationDlg(QWidget* parent = nullptr);
};

} // namespace rf
