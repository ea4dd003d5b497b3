#pragma once

#include <QHeaderView>

namespace rf {

class CGridCtrl;

// The fixed header row of a grid (grid row 0), drawn with the header cells' fonts and colours, the tick box
// of a check-box cell and the sort marker.
class GridHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit GridHeader(CGridCtrl& grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    QRect SectionRect(int logicalIndex) const;

    CGridCtrl& grid_;
};

} // namespace rf
