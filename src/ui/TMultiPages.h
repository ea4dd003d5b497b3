#pragma once

#include "ui/PageSlots.h"

#include <QColor>
#include <QWidget>
#include <vector>

namespace rf {

// The page-number strip under a device list: at most seven slots of page numbers and "...". Picking a
// page other than the current one makes it current and reports it with the owner's page id.
class CTMultiPages : public QWidget {
    Q_OBJECT

public:
    explicit CTMultiPages(QWidget* parent = nullptr);

    // Resets to page 1 of no pages; pagePicked then carries ownerPageId.
    void Init(int ownerPageId);
    void SetPageCount(int count);
    void SetCurrentPage(int page);
    void SetAlignment(int alignment);
    void SetFrame(bool frame);
    void SetBackgroundColour(const QColor& colour);

    int CurrentPage() const { return currentPage_; }
    int PageCount() const { return pageCount_; }
    int OwnerPageId() const { return ownerPageId_; }
    int HoverSlot() const { return hoverSlot_; }
    // What the slots show: page numbers, kEllipsisSlot for "...".
    const std::vector<int>& Slots() const { return slots_; }
    // The slots as the user reads them ("1", "...", "9", ...).
    QStringList SlotTexts() const;
    // Where slot index lies in the widget.
    QRect SlotRectangle(int index) const;

Q_SIGNALS:
    void pagePicked(int ownerPageId, int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Relayout();
    bool IsPickable(int slot) const;
    static QString SlotText(int slot);

    int ownerPageId_ = 0;
    int currentPage_ = 1;
    int pageCount_ = 0;
    int alignment_ = 1;
    bool frame_ = false;
    QColor backgroundColour_{240, 240, 240};
    std::vector<int> slots_;
    std::vector<SlotRect> rects_;
    int hoverSlot_ = -1;
    int pressedSlot_ = -1;
};

} // namespace rf
