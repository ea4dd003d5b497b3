#pragma once

#include "core/ViewState.h"
#include "ui/TDialog.h"

#include <optional>

namespace rf {

// One page of the container. Pages with a device list reload it on request and show a chosen page number
// of it; the others ignore both.
class CPage : public CTDialog {
    Q_OBJECT

public:
    CPage(int pageId, QWidget* parent) : CTDialog(parent), pageId_(pageId) { MakeChildPage(); }

    int PageId() const { return pageId_; }
    // Reloads the list at its current page number.
    virtual void RefreshList() {}
    // Shows page number `page` of the list.
    virtual void ShowListPage(int page) { (void)page; }
    // How the user has arranged the list (page size, order, column widths); none for a page without one.
    virtual std::optional<ListView> CurrentListView() const { return std::nullopt; }
    // Takes back an arrangement kept from an earlier run; what the list cannot show is passed over.
    virtual void RestoreListView(const ListView& view) { (void)view; }

Q_SIGNALS:
    // The user changed the list's page size, order or a column's width.
    void listViewChanged();

private:
    int pageId_;
};

} // namespace rf
