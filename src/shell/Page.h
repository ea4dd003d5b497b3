#pragma once

#include "ui/TDialog.h"

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

private:
    int pageId_;
};

} // namespace rf
