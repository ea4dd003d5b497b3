#include "ui/GridCtrl.h"

#include "ui/FocusFrame.h"
#include "ui/GridDelegate.h"
#include "ui/GridHeader.h"
#include "ui/GridModel.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace rf {

CGridCtrl::CGridCtrl(QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)), header_(new GridHeader(*this)) {
    setModel(model_);
    setHorizontalHeader(header_);
    setItemDelegate(new GridDelegate(*this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header_->setFixedHeight(headerHeight_);
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setWordWrap(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus); // clicks take the focus in mousePressEvent
    setTabKeyNavigation(false);   // Tab leaves the grid; the arrow keys move in it
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    model_->SetDefaultBackground(normalRow_);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT cellClicked(index.row() + 1, index.column()); });
    connect(header_, &QHeaderView::sectionClicked, this,
            [this](int column) { Q_EMIT cellClicked(0, column); });
}

CGridCtrl::~CGridCtrl() = default;

template <typename Change> bool CGridCtrl::Modify(int row, int column, Change change) {
    return model_->Modify(row, column, change);
}

template <typename Result, typename Reader>
Result CGridCtrl::Read(int row, int column, Result fallback, Reader read) const {
    const GridCell* cell = model_->Cell(row, column);
    return cell != nullptr ? read(*cell) : fallback;
}

void CGridCtrl::SetRowCount(int rows) {
    if (hoverRowIndex_ >= std::max(rows, 1)) {
        hoverRowIndex_ = -1;
    }
    model_->SetGridRows(rows);
}

void CGridCtrl::SetColumnCount(int columns) {
    model_->SetGridColumns(columns);
}

int CGridCtrl::GetRowCount() const {
    return model_->GridRows();
}

int CGridCtrl::GetColumnCount() const {
    return model_->GridColumns();
}

void CGridCtrl::DeleteDataRows() {
    SetRowCount(1);
}

void CGridCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < GetColumnCount()) {
        header_->resizeSection(column, width);
    }
}

int CGridCtrl::GetColumnWidth(int column) const {
    return header_->sectionSize(column);
}

void CGridCtrl::SetRowHeight(int row, int height) {
    if (row == 0) {
        headerHeight_ = height;
        header_->setFixedHeight(height);
        return;
    }
    if (row > 0 && row < GetRowCount() && verticalHeader()->sectionSize(row - 1) != height) {
        verticalHeader()->resizeSection(row - 1, height);
    }
}

int CGridCtrl::GetRowHeight(int row) const {
    if (row == 0) {
        return headerHeight_;
    }
    return (row > 0 && row < GetRowCount()) ? verticalHeader()->sectionSize(row - 1) : 0;
}

bool CGridCtrl::SetCellText(int row, int column, const QString& text) {
    return Modify(row, column, [&text](GridCell& c) { c.text = text; });
}

QString CGridCtrl::GetCellText(int row, int column) const {
    return Read(row, column, QString(), [](const GridCell& c) { return c.text; });
}

bool CGridCtrl::SetCellFormat(int row, int column, unsigned format) {
    return Modify(row, column, [format](GridCell& c) { c.format = format; });
}

unsigned CGridCtrl::GetCellFormat(int row, int column) const {
    return Read(row, column, 0U, [](const GridCell& c) { return c.format; });
}

bool CGridCtrl::SetCellFont(int row, int column, const QFont& font) {
    return Modify(row, column, [&font](GridCell& c) {
        c.font = font;
        c.hasFont = true;
    });
}

QFont CGridCtrl::GetCellFont(int row, int column) const {
    return LookOf(row, column).font;
}

bool CGridCtrl::SetCellTextColour(int row, int column, const QColor& colour) {
    return Modify(row, column, [&colour](GridCell& c) { c.textColour = colour; });
}

QColor CGridCtrl::GetCellTextColour(int row, int column) const {
    return LookOf(row, column).text;
}

bool CGridCtrl::SetCellBackground(int row, int column, const QColor& colour) {
    return Modify(row, column, [&colour](GridCell& c) { c.background = colour; });
}

QColor CGridCtrl::GetCellBackground(int row, int column) const {
    return LookOf(row, column).background;
}

bool CGridCtrl::SetCellImage(int row, int column, int image) {
    return Modify(row, column, [image](GridCell& c) { c.image = image; });
}

int CGridCtrl::GetCellImage(int row, int column) const {
    return Read(row, column, -1, [](const GridCell& c) { return c.image; });
}

bool CGridCtrl::SetCellData(int row, int column, qint64 data) {
    return Modify(row, column, [data](GridCell& c) { c.itemData = data; });
}

bool CGridCtrl::SetCellTip(int row, int column, const QString& tip) {
    return Modify(row, column, [&tip](GridCell& c) { c.tip = tip; });
}

qint64 CGridCtrl::GetCellData(int row, int column) const {
    return Read(row, column, qint64{0}, [](const GridCell& c) { return c.itemData; });
}

bool CGridCtrl::SetCellSelected(int row, int column, bool selected) {
    return Modify(row, column, [selected](GridCell& c) { c.selected = selected; });
}

bool CGridCtrl::IsCellSelected(int row, int column) const {
    return Read(row, column, false, [](const GridCell& c) { return c.selected; });
}

bool CGridCtrl::SetCellCheckBox(int row, int column, bool checkBox) {
    return Modify(row, column, [checkBox](GridCell& c) { c.checkBox = checkBox; });
}

bool CGridCtrl::IsCheckBox(int row, int column) const {
    return Read(row, column, false, [](const GridCell& c) { return c.checkBox; });
}

bool CGridCtrl::SetChecked(int row, int column, bool checked) {
    return Modify(row, column, [checked](GridCell& c) { c.checked = checked; });
}

bool CGridCtrl::IsChecked(int row, int column) const {
    return Read(row, column, false, [](const GridCell& c) { return c.checkBox && c.checked; });
}

void CGridCtrl::RedrawCell(int row, int column) {
    if (model_->IsValid(row, column)) {
        model_->CellChanged(row, column);
    }
}

void CGridCtrl::RedrawRow(int row) {
    model_->RowChanged(row);
}

void CGridCtrl::ResetScrollBars() {
    updateGeometries();
    viewport()->update();
}

void CGridCtrl::SetImageList(std::vector<QPixmap> images) {
    model_->SetImageList(std::move(images));
}

QPixmap CGridCtrl::LoadMaskedImage(const QString& path, const QColor& transparentColour) {
    QPixmap image(path);
    if (!image.isNull()) {
        image.setMask(image.createMaskFromColor(transparentColour, Qt::MaskInColor));
    }
    return image;
}

void CGridCtrl::AddHandColumn(int column) {
    handColumns_.insert(column);
}

void CGridCtrl::SetGridBackground(const QColor& colour) {
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, colour);
    pal.setColor(QPalette::Window, colour);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
}

void CGridCtrl::SetGridLineColour(const QColor& colour) {
    lineColour_ = colour;
    viewport()->update();
    header_->viewport()->update();
}

void CGridCtrl::SetNormalRowBackground(const QColor& colour) {
    normalRow_ = colour;
    model_->SetDefaultBackground(colour);
}

void CGridCtrl::SetHoverRowBackground(const QColor& colour) {
    hoverRow_ = colour;
}

void CGridCtrl::SetSortColumn(int column, bool ascending) {
    sortColumn_ = column;
    sortAscending_ = ascending;
    header_->viewport()->update();
}

QRect CGridCtrl::CellRect(int row, int column) const {
    if (!model_->IsValid(row, column)) {
        return {};
    }
    if (row == 0) {
        return {header_->sectionViewportPosition(column), 0, header_->sectionSize(column), header_->height()};
    }
    return visualRect(model_->index(row - 1, column));
}

CellLook CGridCtrl::LookOf(int row, int column) const {
    CellLook look;
    look.line = lineColour_;
    const GridCell* cell = model_->Cell(row, column);
    if (cell == nullptr) {
        return look;
    }
    look.font = cell->hasFont ? cell->font : font();
    look.text = cell->textColour.isValid() ? cell->textColour : palette().color(QPalette::Text);
    if (cell->background.isValid()) {
        look.background = cell->background;
    } else {
        look.background = row == 0 ? headerBackground_ : normalRow_;
    }
    look.image = model_->Image(cell->image);
    return look;
}

QString CGridCtrl::ToolTipText(int row, int column) const {
    const GridCell* cell = model_->Cell(row, column);
    if (cell == nullptr) {
        return {};
    }
    if (!cell->tip.isEmpty()) {
        return cell->tip;
    }
    const QWidget* surface = row == 0 ? header_->viewport() : viewport();
    return IsGridTextCut(CellRect(row, column), *cell, LookOf(row, column), surface) ? cell->text : QString();
}

QString CGridCtrl::ShownText(int row, int column) const {
    const GridCell* cell = model_->Cell(row, column);
    if (cell == nullptr) {
        return {};
    }
    const QWidget* surface = row == 0 ? header_->viewport() : viewport();
    return GridShownText(CellRect(row, column), *cell, LookOf(row, column), surface);
}

void CGridCtrl::PaintRowBackground(int row, const QColor& colour) {
    if (row <= 0 || row >= GetRowCount()) {
        return;
    }
    for (int column = 0; column < GetColumnCount(); ++column) {
        SetCellBackground(row, column, colour);
    }
}

void CGridCtrl::HoverOnto(int row) {
    if (row == hoverRowIndex_) {
        return;
    }
    PaintRowBackground(hoverRowIndex_, normalRow_);
    PaintRowBackground(row, hoverRow_);
    hoverRowIndex_ = row;
}

// An editor over a cell keeps the focus when the grid is clicked: it ends its edit by the click itself.
void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    const QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || !isAncestorOf(focused)) {
        setFocus(Qt::MouseFocusReason);
    }
    QTableView::mousePressEvent(event);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    HoverOnto(index.isValid() ? index.row() + 1 : -1);
    if (index.isValid() && handColumns_.contains(index.column())) {
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->unsetCursor();
    }
    QTableView::mouseMoveEvent(event);
}

void CGridCtrl::leaveEvent(QEvent* event) {
    HoverOnto(-1);
    viewport()->unsetCursor();
    QTableView::leaveEvent(event);
}

bool CGridCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        HoverOnto(-1);
        viewport()->unsetCursor();
    }
    if (event->type() != QEvent::ToolTip) {
        return QTableView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString tip = index.isValid() ? ToolTipText(index.row() + 1, index.column()) : QString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
    }
    return true;
}

int CGridCtrl::CurrentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : -1;
}

void CGridCtrl::SetCurrentRow(int row) {
    if (row < 1 || row >= GetRowCount()) {
        return;
    }
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(model_->index(row - 1, column));
    viewport()->update();
}

void CGridCtrl::ToggleTicks(int row) {
    for (int column = 0; column < GetColumnCount(); ++column) {
        if (IsCheckBox(row, column)) {
            model_->setData(model_->index(row - 1, column),
                            IsChecked(row, column) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
    }
}

void CGridCtrl::RequestCurrentRowMenu() {
    const int row = CurrentRow();
    if (row < 1) {
        return;
    }
    scrollTo(currentIndex());
    const QRect cell = visualRect(currentIndex());
    Q_EMIT rowMenuRequested(row, viewport()->mapToGlobal(QPoint(cell.left(), cell.bottom())));
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier && CurrentRow() >= 1) {
        ToggleTicks(CurrentRow());
    } else if (event->matches(QKeySequence::SelectAll)) {
        Q_EMIT tickAllRequested();
    } else if (event->matches(QKeySequence::Copy)) {
        Q_EMIT copyRequested();
    } else if ((event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
               (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        RequestCurrentRowMenu();
    } else {
        QTableView::keyPressEvent(event);
        viewport()->update();
        return;
    }
    event->accept();
}

void CGridCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        RequestCurrentRowMenu();
        return;
    }
    // Right clicks reach the view through its viewport, in viewport coordinates.
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) {
        SetCurrentRow(index.row() + 1);
        Q_EMIT rowMenuRequested(index.row() + 1, event->globalPos());
    }
}

void CGridCtrl::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (CurrentRow() < 1 && GetRowCount() > 1) {
        SetCurrentRow(1);
    }
    viewport()->update();
}

void CGridCtrl::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

// The current row is framed across its visible width while the grid has the focus.
void CGridCtrl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const int row = CurrentRow();
    if (!hasFocus() || row < 1) {
        return;
    }
    const QRect cell = visualRect(model_->index(row - 1, 0));
    QPainter painter(viewport());
    PaintFocusFrame(painter, QRect(0, cell.top(), viewport()->width(), cell.height()), *this);
}

} // namespace rf
