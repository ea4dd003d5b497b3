#pragma once

#include "ui/TDialog.h"

#include <QShortcut>

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
    // F5: reloads the list; a page that gathers its own contents gathers them again.
    virtual void OnRefreshKey() { RefreshList(); }

private:
    int pageId_;
};

} // namespace rf
