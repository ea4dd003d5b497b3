#include "ui/ReadingOrder.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace rf {
namespace {

// Tops closer than this are one line: controls of one line differ a little in height and are centred.
constexpr int kLineTolerance = 10;

bool TakesTabFocus(const QWidget& widget) {
    return (widget.focusPolicy() & Qt::TabFocus) != 0 && widget.focusProxy() == nullptr;
}

bool HoldsTabFocus(const QWidget& widget) {
    if (TakesTabFocus(widget)) {
        return true;
    }
    const QList<QWidget*> inside = widget.findChildren<QWidget*>();
    return std::any_of(inside.begin(), inside.end(),
                       [](const QWidget* w) { return !w->isWindow() && TakesTabFocus(*w); });
}

// The children of parent that hold a control, line by line and from left to right within a line.
std::vector<QWidget*> ChildrenInReadingOrder(const QWidget& parent) {
    std::vector<QWidget*> children;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && HoldsTabFocus(*child)) {
            children.push_back(child);
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    for (auto line = children.begin(); line != children.end();) {
        const int top = (*line)->y();
        const auto end = std::find_if(line, children.end(),
                                      [top](const QWidget* w) { return w->y() - top > kLineTolerance; });
        std::stable_sort(line, end, [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        line = end;
    }
    return children;
}

// A panel of controls is read whole where it stands, so a menu beside a page is not interleaved with it.
void AppendInReadingOrder(const QWidget& parent, QList<QWidget*>& order) {
    for (QWidget* child : ChildrenInReadingOrder(parent)) {
        if (TakesTabFocus(*child)) {
            order.append(child);
        } else {
            AppendInReadingOrder(*child, order);
        }
    }
}

} // namespace

QList<QWidget*> ReadingOrder(QWidget& root) {
    QList<QWidget*> order;
    AppendInReadingOrder(root, order);
    return order;
}

void SetReadingTabOrder(QWidget& root) {
    const QList<QWidget*> order = ReadingOrder(root);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace rf
