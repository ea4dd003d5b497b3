#pragma once

#include "ui/GridCell.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <vector>

namespace rf {

// The cells of a device grid. Grid row 0 is the header (shown by the header view); grid rows 1..n are the
// model's rows 0..n-1.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows including the header row.
    int GridRows() const { return static_cast<int>(cells_.size()); }
    int GridColumns() const { return columns_; }
    void SetGridRows(int rows);
    void SetGridColumns(int columns);
    bool IsValid(int row, int column) const;

    const GridCell* Cell(int row, int column) const;
    const GridCell& CellAt(const QModelIndex& index) const;
    // Changes a cell and repaints it; false for a cell outside the grid.
    template <typename Change> bool Modify(int row, int column, Change change) {
        if (!IsValid(row, column)) {
            return false;
        }
        change(cells_[static_cast<size_t>(row)][static_cast<size_t>(column)]);
        CellChanged(row, column);
        return true;
    }
    void CellChanged(int row, int column);
    void RowChanged(int row);

    void SetImageList(std::vector<QPixmap> images);
    const QPixmap* Image(int index) const;

    QColor DefaultBackground() const { return defaultBackground_; }
    void SetDefaultBackground(const QColor& colour);

private:
    std::vector<GridCell> NewRow() const;

    std::vector<std::vector<GridCell>> cells_;
    int columns_ = 0;
    std::vector<QPixmap> images_;
    QColor defaultBackground_{255, 255, 255};
};

} // namespace rf
