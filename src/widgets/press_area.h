#pragma once
// A container whose empty parts report presses of any mouse button.

#include <QWidget>

namespace kavo {

class TPressArea : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 signals:
  // Where on the screen the press was.
  void Pressed(QPointF at);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace kavo
