#pragma once

#include <QStyledItemDelegate>

namespace rf {

class CGridCtrl;

// Draws the data cells of a grid and ticks its check-box cells when the user clicks anywhere in them, not
// only into the small box.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridDelegate(CGridCtrl& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    CGridCtrl& grid_;
};

} // namespace rf
