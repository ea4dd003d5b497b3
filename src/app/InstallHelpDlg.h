#pragma once

#include "shell/Page.h"

namespace rf {

class CScrollBitmapWnd;
struct PageContext;

// The installation help page: one large picture that scrolls.
class CInstallHelpDlg : public CPage {
    Q_OBJECT

public:
    CInstallHelpDlg(const PageContext& context, QWidget* parent);
    CScrollBitmapWnd* Picture() const { return picture_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CScrollBitmapWnd* picture_ = nullptr;
};

} // namespace rf
