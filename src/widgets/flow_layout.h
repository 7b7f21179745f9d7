#pragma once
// The button area's arrangement: children left to right in rows that wrap at the area's width.

#include <QLayout>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <vector>

namespace kavo {

class TFlowLayout : public QLayout {
  Q_OBJECT
 public:
  explicit TFlowLayout(QWidget* parent = nullptr);
  ~TFlowLayout() override;

  float HorizontalGap() const { return hgap_; }
  float VerticalGap() const { return vgap_; }
  // Each setter re-flows the children.
  void SetHorizontalGap(float gap);
  void SetVerticalGap(float gap);

  // Where the re-flow puts boxes of these sizes in an area of this width, in single precision:
  // a row takes boxes while its width + gap + the next box's width is not greater than the area
  // (equality fits), always at least one; rows are left-aligned, the row height is the largest
  // box height + vgap, hgap stands only between neighbours.
  static std::vector<QPointF> Flow(const std::vector<QSizeF>& sizes, float width, float hgap,
                                   float vgap);

  // Between these, adding and taking children does not re-flow; the end re-flows once. The
  // layout is off meanwhile: the toolkit activates a parent's layout, walking every item, each
  // time a child is shown, which made a rebuild grow with the square of the buttons.
  void BeginUpdate();
  void EndUpdate();

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  // The area never asks for room: the window's size is the user's.
  QSize sizeHint() const override { return {0, 0}; }
  QSize minimumSize() const override { return {0, 0}; }
  Qt::Orientations expandingDirections() const override { return {}; }
  void setGeometry(const QRect& rect) override;

 signals:
  // After every re-flow.
  void Flowed();

 private:
  void Reflow();

  QList<QLayoutItem*> items_;
  QRect area_;
  float hgap_ = 2;
  float vgap_ = 2;
  bool flowing_ = false;
  int updating_ = 0;
};

}  // namespace kavo
