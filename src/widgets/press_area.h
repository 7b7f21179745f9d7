#pragma once
// A container whose empty parts report presses of any mouse button.

#include <QWidget>

namespace kavo {

class TPressArea : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 signals:
  void Pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace kavo
