#pragma once

#include "core/ViewState.h"
#include "operations/SelectedDevice.h"
#include "pages/DeviceListLayout.h"
#include "pages/DeviceListRows.h"
#include "pages/DeviceRows.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QWidget;

namespace rf {

class CGridCtrl;
class CNetManagement;
class CSqlManagement;
class CTButtonPicture;
class CTEdit;
class CTMultiPages;
class CTPicture;
class CTStatic;
struct Settings;
struct SkinPaths;

// The paged device list that the list pages share: the grid, the page-number strip, the page-size box,
// the filter field, the online count and the reload button, and the state behind them (page, sort column
// and direction, filter, tick-all). The owning page places the controls and acts on clicks in data rows.
// Each page shows its own columns (DeviceListLayoutOf its page id).
class CDeviceList : public QObject {
    Q_OBJECT

public:
    CDeviceList(CNetManagement& engine, CSqlManagement& store, const Settings& settings,
                const SkinPaths& skin, int pageId, QWidget* page);

    // Fills the grid with one page of the list; every reload goes through here. A page past the last one
    // (devices aged out meanwhile) shows the last page.
    void ReloadDeviceList(int page, bool ascending, int sortColumn, const std::string& filter);
    // A reload that keeps the order chosen by the last header click.
    void Reload(int page);
    void ReloadCurrentPage() { Reload(currentPage_); }

    // Every row that matches the filter, over all pages, in the list's order (as the pages show them).
    std::vector<DeviceRow> AllRows() const;

    // The devices of the ticked rows in grid order; with configurableOnly, devices without a transparent
    // bridge are left out.
    // While a collection is scoped (ScopeCollection), only that device, ticked or not.
    std::vector<SelectedDevice> CollectSelectedDevices(bool (*takes)(int model,
                                                                     int workMode) = nullptr) const;
    // An action chosen for one row acts on its device alone, through the same collection as its button.
    void ScopeCollection(const std::string& mac) { scopeMac_ = mac; }
    void EndScope() { scopeMac_.reset(); }

    // The ticked rows, or the row at hand (row >= 1) when none is ticked.
    std::vector<int> SelectedRows(int rowAtHand) const;
    // The titles of the shown columns and the texts of those rows, tab-separated (RowsAsText).
    QString RowsText(const std::vector<int>& rows) const;
    // Ctrl+C: the selected rows onto the clipboard.
    void CopySelectedRows(int rowAtHand) const;
    // Ctrl+A: ticks every row of the shown page.
    void TickAll();
    // The record of a grid row (row >= 1), or nullptr.
    const DeviceRow* Row(int gridRow) const;
    // The grid row of a device, or -1.
    int RowOfDevice(const std::string& mac) const;
    // Writes a status into the device's status cell without reloading; false when the device has no row or
    // the page shows no status.
    bool ShowStatus(const std::string& mac, int32_t statusCode);
    const DeviceListLayout& Columns() const { return layout_; }
    // The grid column of a field, or -1 when the page does not show it.
    int ColumnOf(DeviceField field) const { return layout_.ColumnOf(field); }
    int StatusColumn() const { return layout_.ColumnOf(kFieldStatus); }

    // Page size, order and the widths the user gave columns; RestoreView takes back what the list can
    // show of such a view and reloads nothing.
    ListView View() const;
    void RestoreView(const ListView& view);

    // Filter field, grid and page-size box, taken away during a search.
    void SetInteractive(bool on);
    void ClearFilter();
    // Puts the controls into area (the page's client area).
    void Layout(const QRect& area);

    bool IsAnnouncedRow(int row) const;
    int CurrentPage() const { return currentPage_; }
    int SortColumn() const { return sortColumn_; }
    // The order of every reload; a header click reverses it.
    bool Ascending() const { return ascending_; }
    int OnlineCount() const { return onlineCount_; }
    int PageSize() const;
    const std::string& FilterText() const { return filter_; }

    CGridCtrl* Grid() const { return grid_; }
    CTMultiPages* Strip() const { return strip_; }
    QComboBox* PageSizeBox() const { return pageSize_; }
    CTEdit* Filter() const { return filterEdit_; }
    CTStatic* OnlineLabel() const { return onlineLabel_; }
    CTButtonPicture* ReloadButton() const { return reload_; }
    // Says, above the grid, why the store cannot be written while that lasts; hidden otherwise.
    CTStatic* StoreWarning() const { return storeWarning_; }

Q_SIGNALS:
    // Before the rows are replaced, and after.
    void reloading();
    void reloaded();
    // A click on a data row (row >= 1).
    void deviceClicked(int row, int column);
    // The user changed the page size, the order or a column's width.
    void viewChanged();
    // A right click or the menu key on a data row: where the row's menu goes.
    void rowMenuRequested(int row, const QPoint& globalPos);

private:
    DeviceListQuery Query(int sortColumn, bool ascending, const std::string& filter) const;
    // Shares the grid's spare width among the text columns.
    void SpreadColumns();
    void BuildGrid();
    void BuildControls(const SkinPaths& skin, int pageId);
    void OnCellClicked(int row, int column);
    void OnHeaderClicked(int column);
    // A column's edge dragged: the column keeps that width from then on.
    void OnColumnResized(int column, int width);
    void SetAllTicked(bool ticked);
    void SetOnlineCount(int count);
    // The warning line after each reload, and the one message when writes have begun to fail.
    void ShowStoreFault();

    CNetManagement& engine_;
    CSqlManagement& store_;
    const Settings& settings_;
    QWidget* page_;
    const DeviceListLayout& layout_;
    CGridCtrl* grid_ = nullptr;
    CTMultiPages* strip_ = nullptr;
    QComboBox* pageSize_ = nullptr;
    CTStatic* pageSizeLabel_ = nullptr;
    CTEdit* filterEdit_ = nullptr;
    CTPicture* filterIcon_ = nullptr;
    CTStatic* onlineLabel_ = nullptr;
    CTButtonPicture* reload_ = nullptr;
    CTStatic* storeWarning_ = nullptr;
    QRect area_;
    std::vector<DeviceRow> rows_;
    std::vector<int> columnWidths_; // before any room is shared out
    std::map<int, int> userWidths_; // the columns the user sized, which take no share of spare room
    bool settingWidths_ = false;    // the list itself is sizing columns
    bool ascending_ = false;
    int sortColumn_;
    int currentPage_ = 1;
    std::string filter_;
    int onlineCount_ = 0;
    int allTicked_ = 0;
    std::optional<std::string> scopeMac_;
};

} // namespace rf
