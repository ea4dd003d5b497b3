#pragma once

#include "operations/OperationCatalogue.h"
#include "operations/SelectedDevice.h"
#include "pages/WorkerSlot.h"
#include "protocol/ApInfo.h"
#include "shell/Page.h"
#include "shell/PageContext.h"

#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QMenu;

namespace rf {

class CDeviceList;
class CTButtonPicture;
class CTStatic;

// One of a page's own actions offered in a row's menu: it runs what the page's button or Operate column
// runs, for that row's device.
struct RowAction {
    const char* textKey;              // language key of the menu item
    const char* name;                 // object name of the menu item
    std::function<void(int row)> run; // the row the device has when the item is chosen
};

// What the pages of a device list share: the list with its page strip handed to the navigation, the line
// that sums up the page's last batch, the thin line under the buttons, the reload a while after an action
// and the one worker that sends a batch. A page adds its buttons, then calls FinishControls; it decides
// what its batches are and what a click on a row does. A row's menu (right click, menu key) copies its
// addresses or the selected rows, opens its web page and offers the page's own actions (RowActions).
class CDeviceListPage : public CPage {
    Q_OBJECT

public:
    CDeviceListPage(const PageContext& context, int pageId, const char* objectName, int reloadDelayMs,
                    QWidget* parent);
    ~CDeviceListPage() override;

    void RefreshList() override;
    void ShowListPage(int page) override;
    std::optional<ListView> CurrentListView() const override;
    void RestoreListView(const ListView& view) override;

    CDeviceList& List() const { return *list_; }
    QTimer& ReloadTimer() { return reloadTimer_; }
    // The outcome of the last batch, one line beside the buttons; the next action clears it.
    CTStatic* BatchSummary() const { return summary_; }
    CTButtonPicture* ExportButton() const { return export_; }
    bool BatchRunning() const { return worker_.Running(); }
    // Lets the running batch finish (tests).
    void FinishWorkers() { worker_.Wait(); }

    // The menu of a data row, shown at globalPos without waiting for a choice; nullptr for no row.
    QMenu* ShowRowMenu(int row, const QPoint& globalPos);
    // The device's web page in the user's browser, as the status page's link opens it.
    void OpenWebPage(int row);
    // Ctrl+F.
    void FocusFilter();

protected:
    const PageContext& Context() const { return context_; }
    // After the page's own buttons: the summary and separator lines, and the texts translated.
    void FinishControls();
    void resizeEvent(QResizeEvent* event) override;
    // Where the summary line begins: right of the page's buttons.
    virtual int SummaryLeft() const { return 10; }
    // A click on a row's cell; the Operate column's button goes to OnOperate.
    virtual void OnDeviceClicked(int row, int column);
    virtual void OnOperate(int /*row*/) {}
    // What the page's buttons and Operate column do, for one row; none by default.
    virtual std::vector<RowAction> RowActions(int /*row*/) { return {}; }
    // Runs an action (a button's own function) so that the devices it collects are only the row's one.
    void RunForRow(int row, const std::function<void()>& action);

    // The start of every batch: clears the last summary, refuses while a batch runs, and collects the
    // ticked devices (configurable ones only when asked), warning with emptyKey when there are none. An
    // empty result means the page stops here.
    std::vector<SelectedDevice> BeginBatch(const OperationEntry& operation);
    // Refuses with a message while a batch runs; true when a new one may start.
    bool MayStartBatch();
    // Runs work(stop) on the batch worker, a running one stopped first; done gets its result on the
    // interface thread unless the page stopped the worker.
    template <typename Work, typename Done> void RunBatchWork(Work work, Done done);
    void ShowBatchSummary(const std::string& line, const std::string& details);
    void ClearBatchSummary();
    // Writes every row that matches the filter, over all pages, to a CSV or JSON file the user picks.
    void OnExport();
    // The stored record of a shown row: false for a row only announced, or a device gone from the store
    // since the list was loaded.
    bool StoredDeviceOfRow(int row, ap_info_stu& record) const;

private:
    PageContext context_;
    CDeviceList* list_ = nullptr;
    CTStatic* summary_ = nullptr;
    CTButtonPicture* export_ = nullptr;
    QWidget* separator_ = nullptr;
    QTimer reloadTimer_;
    WorkerSlot worker_;
};

template <typename Work, typename Done> void CDeviceListPage::RunBatchWork(Work work, Done done) {
    worker_.Start([this, work = std::move(work), done = std::move(done)](const std::stop_token& stop) {
        auto result = work(stop);
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
        }
    });
}

} // namespace rf
