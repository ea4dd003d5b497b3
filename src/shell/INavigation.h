#pragma once

namespace rf {

// What a page may ask of the window around it: the navigation menu, the container's refresh and the
// page-number clicks of its list. The application implements it; pages get it from their context.
class INavigation {
public:
    virtual ~INavigation() = default;

    // Takes the navigation buttons away (and gives them back) around a long operation of a page.
    virtual void SetMenuEnabled(bool on) = 0;
    // Stops (and restarts) the container's periodic reload of the shown list.
    virtual void SetAutoRefresh(bool on) = 0;
    // A page-number strip of pageId's list was clicked: that page shows page number `page`.
    virtual void ShowListPage(int pageId, int page) = 0;
    virtual int CurrentPageId() const = 0;
};

} // namespace rf
