#pragma once

#include "shell/Page.h"
#include "shell/PageContext.h"

#include <QTimer>
#include <vector>

namespace rf {

class CGridCtrl;
class CTMultiPages;
class CTStatic;

// The system tool page: the PC's usable network adapters with their MAC and IP addresses and the number
// of online devices in their subnets. Each refresh also refreshes the engine's adapter addresses, so it
// runs every 5 seconds for as long as the page exists, shown or not.
class CSystemToolDlg : public CPage {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 5000;
    enum Column : int { kColumnId, kColumnDescription, kColumnMac, kColumnIp, kColumnDevices, kColumnCount };

    CSystemToolDlg(const PageContext& context, QWidget* parent);

    // Lists the adapters again.
    void OnRefreshTimer();
    void OnRefreshKey() override { OnRefreshTimer(); }

    CGridCtrl* Grid() const { return grid_; }
    CTStatic* CountLabel() const { return countLabel_; }
    QTimer& RefreshTimer() { return refreshTimer_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildGrid();
    void BuildControls();
    void SetAdapterCount(int count);
    // Column widths: addresses and counts are never cut; the description gives way in a narrow page.
    int NeededWidth(int column) const;
    void FitColumns();

    PageContext context_;
    CTStatic* countLabel_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    QWidget* separator_ = nullptr;
    CTMultiPages* strip_ = nullptr;
    QTimer refreshTimer_;
};

} // namespace rf
