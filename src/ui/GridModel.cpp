#include "ui/GridModel.h"

namespace rf {

namespace {

Qt::Alignment AlignmentOf(unsigned format) {
    Qt::Alignment a = Qt::AlignLeft;
    if (format & kFormatCentre) {
        a = Qt::AlignHCenter;
    } else if (format & kFormatRight) {
        a = Qt::AlignRight;
    }
    if (format & kFormatVCentre) {
        a |= Qt::AlignVCenter;
    } else if (format & kFormatBottom) {
        a |= Qt::AlignBottom;
    } else {
        a |= Qt::AlignTop;
    }
    return a;
}

} // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
    cells_.push_back(NewRow());
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(GridRows() - 1, 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

bool GridModel::IsValid(int row, int column) const {
    return row >= 0 && row < GridRows() && column >= 0 && column < columns_;
}

const GridCell* GridModel::Cell(int row, int column) const {
    return IsValid(row, column) ? &cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] : nullptr;
}

const GridCell& GridModel::CellAt(const QModelIndex& index) const {
    return cells_[static_cast<size_t>(index.row() + 1)][static_cast<size_t>(index.column())];
}

std::vector<GridCell> GridModel::NewRow() const {
    return std::vector<GridCell>(static_cast<size_t>(columns_));
}

void GridModel::SetGridRows(int rows) {
    rows = std::max(rows, 1);
    const int current = GridRows();
    if (rows > current) {
        beginInsertRows({}, current - 1, rows - 2);
        cells_.resize(static_cast<size_t>(rows), NewRow());
        endInsertRows();
    } else if (rows < current) {
        beginRemoveRows({}, rows - 1, current - 2);
        cells_.resize(static_cast<size_t>(rows));
        endRemoveRows();
    }
}

void GridModel::SetGridColumns(int columns) {
    columns = std::max(columns, 0);
    if (columns == columns_) {
        return;
    }
    const bool growing = columns > columns_;
    if (growing) {
        beginInsertColumns({}, columns_, columns - 1);
    } else {
        beginRemoveColumns({}, columns, columns_ - 1);
    }
    columns_ = columns;
    for (auto& row : cells_) {
        row.resize(static_cast<size_t>(columns));
    }
    if (growing) {
        endInsertColumns();
    } else {
        endRemoveColumns();
    }
}

void GridModel::CellChanged(int row, int column) {
    if (row == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex i = index(row - 1, column);
    Q_EMIT dataChanged(i, i);
}

void GridModel::RowChanged(int row) {
    if (row == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    } else if (row > 0 && row < GridRows() && columns_ > 0) {
        Q_EMIT dataChanged(index(row - 1, 0), index(row - 1, columns_ - 1));
    }
}

void GridModel::SetImageList(std::vector<QPixmap> images) {
    images_ = std::move(images);
    if (rowCount() > 0 && columns_ > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1), {Qt::DecorationRole});
    }
}

const QPixmap* GridModel::Image(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= images_.size()) {
        return nullptr;
    }
    return &images_[static_cast<size_t>(index)];
}

void GridModel::SetDefaultBackground(const QColor& colour) {
    defaultBackground_ = colour;
    if (rowCount() > 0 && columns_ > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1), {Qt::BackgroundRole});
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const GridCell& cell = CellAt(index);
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(cell.format));
    case Qt::FontRole:
        return cell.hasFont ? QVariant(cell.font) : QVariant();
    case Qt::ForegroundRole:
        return cell.textColour.isValid() ? QVariant(cell.textColour) : QVariant();
    case Qt::BackgroundRole:
        return cell.background.isValid() ? cell.background : defaultBackground_;
    case Qt::DecorationRole:
        if (const QPixmap* image = Image(cell.image)) {
            return *image;
        }
        return {};
    case Qt::CheckStateRole:
        return cell.checkBox ? QVariant(cell.checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::UserRole:
        return cell.itemData;
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) {
        return false;
    }
    return Modify(index.row() + 1, index.column(),
                  [&value](GridCell& cell) { cell.checked = value.value<Qt::CheckState>() == Qt::Checked; });
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_) {
        return {};
    }
    const GridCell& cell = cells_.front()[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(cell.format));
    case Qt::FontRole:
        return cell.hasFont ? QVariant(cell.font) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (CellAt(index).checkBox) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

} // namespace rf
