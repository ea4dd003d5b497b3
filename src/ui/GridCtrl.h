#pragma once

#include "core/Settings.h"
#include "ui/GridPainter.h"

#include <QPixmap>
#include <QTableView>
#include <set>
#include <vector>

namespace rf {

class GridModel;
class GridHeader;

// The grid of the device, scan and adapter lists: one fixed header row (row 0) and data rows from row 1,
// cells with text, format, font, colours, an image of the grid's image list, item data and an optional
// tick box. The row under the mouse is highlighted; clicks are reported with the cell's row and column.
// The keyboard moves a current row, framed while the grid has the focus: Space flips its tick boxes, and
// Ctrl+A, Ctrl+C and the menu key (or Shift+F10) are handed to the owner, as is a right click.
class CGridCtrl : public QTableView {
    Q_OBJECT

public:
    static constexpr int kDefaultRowHeight = 48;

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;
    CGridCtrl(const CGridCtrl&) = delete;
    CGridCtrl& operator=(const CGridCtrl&) = delete;

    // Sizes count the header row.
    void SetRowCount(int rows);
    void SetColumnCount(int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    // Empties the list: only the header row remains.
    void DeleteDataRows();

    void SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    void SetRowHeight(int row, int height);
    int GetRowHeight(int row) const;

    bool SetCellText(int row, int column, const QString& text);
    QString GetCellText(int row, int column) const;
    bool SetCellFormat(int row, int column, unsigned format);
    unsigned GetCellFormat(int row, int column) const;
    bool SetCellFont(int row, int column, const QFont& font);
    QFont GetCellFont(int row, int column) const;
    bool SetCellTextColour(int row, int column, const QColor& colour);
    QColor GetCellTextColour(int row, int column) const;
    bool SetCellBackground(int row, int column, const QColor& colour);
    QColor GetCellBackground(int row, int column) const;
    bool SetCellImage(int row, int column, int image);
    int GetCellImage(int row, int column) const;
    bool SetCellData(int row, int column, qint64 data);
    bool SetCellTip(int row, int column, const QString& tip);
    qint64 GetCellData(int row, int column) const;
    bool SetCellSelected(int row, int column, bool selected);
    bool IsCellSelected(int row, int column) const;

    // Makes a cell a tick box (or a plain text cell again).
    bool SetCellCheckBox(int row, int column, bool checkBox = true);
    bool IsCheckBox(int row, int column) const;
    bool SetChecked(int row, int column, bool checked);
    bool IsChecked(int row, int column) const;

    void RedrawCell(int row, int column);
    void RedrawRow(int row);
    void ResetScrollBars();

    void SetImageList(std::vector<QPixmap> images);
    // A picture of the skin whose pixels of transparentColour are made transparent; null when unreadable.
    static QPixmap LoadMaskedImage(const QString& path, const QColor& transparentColour = Qt::white);

    // Columns whose data cells show the hand cursor; each column is kept once.
    void AddHandColumn(int column);
    const std::set<int>& HandColumns() const { return handColumns_; }

    void SetGridBackground(const QColor& colour);
    void SetGridLineColour(const QColor& colour);
    QColor GridLineColour() const { return lineColour_; }
    void SetNormalRowBackground(const QColor& colour);
    void SetHoverRowBackground(const QColor& colour);
    QColor NormalRowBackground() const { return normalRow_; }
    QColor HoverRowBackground() const { return hoverRow_; }
    // The grid row under the mouse, or -1.
    int HoverRow() const { return hoverRowIndex_; }

    void SetSortColumn(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // The current data row (row >= 1), or -1.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    // Flips every tick box of a data row, as a click into it does.
    void ToggleTicks(int row);

    // Where a cell lies in the viewport (data rows) or in the header (row 0).
    QRect CellRect(int row, int column) const;
    // The cell's own tip, else the full text of a cell whose text is cut, else empty: what its tip shows.
    QString ToolTipText(int row, int column) const;
    // The text of a cell as it is drawn: cut text ends in an ellipsis.
    QString ShownText(int row, int column) const;

    const GridModel& Model() const { return *model_; }
    CellLook LookOf(int row, int column) const;
    GridHeader& Header() const { return *header_; }

Q_SIGNALS:
    // A click on a cell; row 0 is the header row.
    void cellClicked(int row, int column);
    // Ctrl+A, Ctrl+C.
    void tickAllRequested();
    void copyRequested();
    // A right click on a data row, or the menu key on the current row: where its menu goes.
    void rowMenuRequested(int row, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void HoverOnto(int row);
    // The menu of the current row, below its left end.
    void RequestCurrentRowMenu();
    void PaintRowBackground(int row, const QColor& colour);
    template <typename Change> bool Modify(int row, int column, Change change);
    template <typename Result, typename Reader>
    Result Read(int row, int column, Result fallback, Reader read) const;

    GridModel* model_;
    GridHeader* header_;
    std::set<int> handColumns_;
    QColor lineColour_{192, 192, 192};
    QColor normalRow_{255, 255, 255};
    QColor hoverRow_{242, 242, 242};
    QColor headerBackground_{240, 240, 240};
    int hoverRowIndex_ = -1;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    int headerHeight_ = 36;
};

} // namespace rf
