#pragma once

#include "shell/PageFactory.h"
#include "ui/TDialog.h"

#include <QTimer>
#include <map>

namespace rf {

class CPage;
struct PageContext;

// The page area of the main window: every page is created once and one is shown at a time. The shown
// list is reloaded 100 ms after a page switch and every 30 s (not on the pages of a running batch, and not
// while a page has turned the auto-refresh off for an operation of its own).
class CChildDlg : public CTDialog {
    Q_OBJECT

public:
    static constexpr int kRefreshPeriodMs = 30000;
    static constexpr int kSwitchDelayMs = 100;

    // Every page is made by factory with context.
    CChildDlg(const PageFactory& factory, const PageContext& context, QWidget* parent);

    void ShowPage(int pageId);
    int CurrentPageId() const { return current_; }
    CPage* Page(int pageId) const;

    void SetAutoRefresh(bool on) { autoRefresh_ = on; }
    bool AutoRefresh() const { return autoRefresh_; }

    // The two timers' work, callable directly.
    void OnRefreshTimer();
    void OnSwitchTimer();
    // A page-number strip of pageId's list was clicked.
    void OnPageNumber(int pageId, int page);

    QTimer& RefreshTimer() { return refreshTimer_; }
    QTimer& SwitchTimer() { return switchTimer_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::map<int, CPage*> pages_;
    int current_ = 0;
    bool autoRefresh_ = true;
    QTimer refreshTimer_;
    QTimer switchTimer_;
};

} // namespace rf
