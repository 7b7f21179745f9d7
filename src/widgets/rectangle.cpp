#include "widgets/rectangle.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavo {

TRectangle::TRectangle(QColor fill, QWidget* parent) : QWidget(parent), fill_(fill) {}

void TRectangle::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), fill_);
}

void TRectangle::mousePressEvent(QMouseEvent* event) {
  leftDown_ = event->button() == Qt::LeftButton;
  emit Pressed(event->globalPosition());
}

void TRectangle::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = leftDown_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  leftDown_ = false;
  if (click) emit Clicked();
}

}  // namespace kavo
