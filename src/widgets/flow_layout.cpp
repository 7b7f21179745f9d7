#include "widgets/flow_layout.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace kavo {

TFlowLayout::TFlowLayout(QWidget* parent) : QLayout(parent) {
  setContentsMargins(0, 0, 0, 0);
  setSizeConstraint(QLayout::SetNoConstraint);
}

TFlowLayout::~TFlowLayout() {
  // From the end: taking the first item moves all the others.
  while (QLayoutItem* item = takeAt(count() - 1)) delete item;
}

void TFlowLayout::SetHorizontalGap(float gap) {
  hgap_ = gap;
  Reflow();
}

void TFlowLayout::SetVerticalGap(float gap) {
  vgap_ = gap;
  Reflow();
}

void TFlowLayout::BeginUpdate() {
  if (updating_++ == 0) setEnabled(false);
}

void TFlowLayout::EndUpdate() {
  if (--updating_ != 0) return;
  setEnabled(true);
  invalidate();
  Reflow();
}

void TFlowLayout::addItem(QLayoutItem* item) {
  items_.append(item);
  invalidate();
}

QLayoutItem* TFlowLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* TFlowLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  QLayoutItem* item = items_.takeAt(index);
  invalidate();
  return item;
}

std::vector<QPointF> TFlowLayout::Flow(const std::vector<QSizeF>& sizes, float width, float hgap,
                                       float vgap) {
  std::vector<QPointF> positions(sizes.size());
  float y = 0;
  std::size_t next = 0;
  while (next < sizes.size()) {
    const std::size_t first = next;
    float rowWidth = static_cast<float>(sizes[first].width());
    ++next;
    while (next < sizes.size() &&
           rowWidth + hgap + static_cast<float>(sizes[next].width()) <= width) {
      rowWidth += hgap + static_cast<float>(sizes[next].width());
      ++next;
    }
    float rowHeight = 0;
    float x = 0;
    for (std::size_t i = first; i < next; ++i) {
      rowHeight = std::max(rowHeight, static_cast<float>(sizes[i].height()) + vgap);
      positions[i] = QPointF(x, y);
      x += static_cast<float>(sizes[i].width()) + hgap;
    }
    y += rowHeight;
  }
  return positions;
}

void TFlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  area_ = rect;
  Reflow();
}

void TFlowLayout::Reflow() {
  if (flowing_ || updating_ > 0) return;  // a re-flow asked for while one runs is ignored
  flowing_ = true;
  // Moving many buttons one by one would repaint the area (and its shadow) for each.
  QWidget* owner = parentWidget();
  const bool repaint = owner && owner->updatesEnabled();
  if (repaint) owner->setUpdatesEnabled(false);
  std::vector<QSizeF> sizes;
  sizes.reserve(static_cast<std::size_t>(items_.size()));
  for (QLayoutItem* item : items_) {
    sizes.emplace_back(item->widget() ? item->widget()->size() : item->sizeHint());
  }
  // The area last given: the toolkit forgets the layout's geometry whenever an item comes or
  // goes, until it next lays the parent out.
  const QRect area = area_;
  const auto positions = Flow(sizes, static_cast<float>(area.width()), hgap_, vgap_);
  for (int i = 0; i < items_.size(); ++i) {
    const QPointF& p = positions[static_cast<std::size_t>(i)];
    const QPoint topLeft(area.x() + static_cast<int>(std::lround(p.x())),
                         area.y() + static_cast<int>(std::lround(p.y())));
    if (QWidget* w = items_[i]->widget()) {
      if (w->pos() != topLeft) w->move(topLeft);  // buttons keep their own size
      // Rows past the area's bottom cannot be seen; hidden, they cost nothing to paint.
      const bool inside = topLeft.y() < area.bottom() + 1 && topLeft.x() < area.right() + 1;
      if (w->isHidden() == inside) w->setVisible(inside);
    } else {
      items_[i]->setGeometry(QRect(topLeft, items_[i]->sizeHint()));
    }
  }
  if (repaint) owner->setUpdatesEnabled(true);
  flowing_ = false;
  emit Flowed();
}

}  // namespace kavo
