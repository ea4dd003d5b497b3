#pragma once

#include "core/ViewState.h"
#include "ui/TDialog.h"

#include <QShortcut>
#include <optional>

namespace rf {

// One page of the container. Pages with a device list reload it on request and show a chosen page number
// of it; the others ignore both. F5 on the shown page refreshes it (OnRefreshKey).
class CPage : public CTDialog {
    Q_OBJECT

public:
    CPage(int pageId, QWidget* parent) : CTDialog(parent), pageId_(pageId) {
        MakeChildPage();
        auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
        connect(refresh, &QShortcut::activated, this, [this] { OnRefreshKey(); });
    }

    int PageId() const { return pageId_; }
    // Reloads the list at its current page number.
    virtual void RefreshList() {}
    // Shows page number `page` of the list.
    virtual void ShowListPage(int page) { (void)page; }
    // How the user has arranged the list (page size, order, column widths); none for a page without one.
    virtual std::optional<ListView> CurrentListView() const { return std::nullopt; }
    // Takes back an arrangement kept from an earlier run; what the list cannot show is passed over.
    virtual void RestoreListView(const ListView& view) { (void)view; }

    // F5: reloads the list; a page that gathers its own contents gathers them again.
    virtual void OnRefreshKey() { RefreshList(); }

Q_SIGNALS:
    // The user changed the list's page size, order or a column's width.
    void listViewChanged();

private:
    int pageId_;
};

} // namespace rf
