#pragma once

#include <QList>

class QWidget;

namespace rf {

// The controls of root that Tab reaches, in reading order: line by line from the top, and from left to
// right within a line; a panel holding controls is read whole at its place. Controls whose tops lie within
// a few pixels of each other share a line.
QList<QWidget*> ReadingOrder(QWidget& root);
// Makes Tab follow ReadingOrder(root).
void SetReadingTabOrder(QWidget& root);

} // namespace rf
