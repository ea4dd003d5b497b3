#include "app/ChildDlg.h"

#include "shell/Page.h"
#include "shell/PageContext.h"
#include "shell/PageIds.h"
#include "ui/QtConvert.h"

namespace rf {

CChildDlg::CChildDlg(const PageFactory& factory, const PageContext& context, QWidget* parent)
    : CTDialog(parent) {
    setObjectName(QStringLiteral("ChildDlg"));
    MakeChildPage();
    SetFillWithColour(true);
    SetBackgroundColour(ToQColor(context.settings.childBkColor));
    for (const int id : kMenuPages) {
        CPage* page = factory(id, context, this);
        page->setObjectName(QStringLiteral("page%1").arg(id));
        page->move(0, 0);
        page->hide();
        pages_[id] = page;
    }
    refreshTimer_.setInterval(kRefreshPeriodMs);
    switchTimer_.setInterval(kSwitchDelayMs);
    switchTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &CChildDlg::OnRefreshTimer);
    connect(&switchTimer_, &QTimer::timeout, this, &CChildDlg::OnSwitchTimer);
    ShowPage(kPageStatus);
    refreshTimer_.start();
}

CPage* CChildDlg::Page(int pageId) const {
    const auto found = pages_.find(pageId);
    return found == pages_.end() ? nullptr : found->second;
}

void CChildDlg::ShowPage(int pageId) {
    if (!pages_.contains(pageId)) {
        return;
    }
    current_ = pageId;
    for (auto& [id, page] : pages_) {
        page->setVisible(id == pageId);
    }
    switchTimer_.start();
}

void CChildDlg::resizeEvent(QResizeEvent* event) {
    CTDialog::resizeEvent(event);
    for (auto& [id, page] : pages_) {
        page->resize(size());
    }
}

void CChildDlg::OnRefreshTimer() {
    if (autoRefresh_ && !SkipsPeriodicRefresh(current_) && HasDeviceList(current_)) {
        Page(current_)->RefreshList();
    }
}

void CChildDlg::OnSwitchTimer() {
    switchTimer_.stop();
    if (HasDeviceList(current_)) {
        Page(current_)->RefreshList();
    }
}

void CChildDlg::OnPageNumber(int pageId, int page) {
    if (HasDeviceList(pageId)) {
        Page(pageId)->ShowListPage(page);
    }
}

} // namespace rf
