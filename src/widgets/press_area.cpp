#include "widgets/press_area.h"

#include <QMouseEvent>

namespace kavo {

void TPressArea::mousePressEvent(QMouseEvent* event) {
  emit Pressed(event->globalPosition());
}

}  // namespace kavo
