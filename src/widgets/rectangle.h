#pragma once
// A filled square of the title strip; reports presses of any mouse button and left clicks.

#include <QColor>
#include <QWidget>

namespace kavo {

class TRectangle : public QWidget {
  Q_OBJECT
 public:
  TRectangle(QColor fill, QWidget* parent);

 signals:
  // Where on the screen the press was.
  void Pressed(QPointF at);
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor fill_;
  bool leftDown_ = false;
};

}  // namespace kavo
