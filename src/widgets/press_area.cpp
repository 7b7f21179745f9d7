#include "widgets/press_area.h"

namespace kavo {

void TPressArea::mousePressEvent(QMouseEvent*) {
  emit Pressed();
}

}  // namespace kavo
