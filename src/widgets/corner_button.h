#pragma once
// A push button drawn as a rectangle with rounded corners.

#include <QAbstractButton>
#include <string>

namespace kavo {

class TCornerButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit TCornerButton(QWidget* parent = nullptr);

  // Each corner is a quarter ellipse XRadius wide and YRadius high, each axis reduced to half
  // the button's size; below 0.0001 in either axis the corners are square.
  float XRadius = 3;
  float YRadius = 3;
  // The index of the binding this button was built from.
  int Tag = 0;
  // That binding's line as it stood when the button was built: the button sends it until the
  // bar is rebuilt, whatever happens to the key list meanwhile.
  std::u16string Binding;
  // What the button sends ("Ctrl+Z"), shown in its tooltip with the caption where that is cut.
  QString Keys;

  // The radii as drawn at the button's current size; (0, 0) for square corners.
  QSizeF EffectiveRadii() const;

  QSize sizeHint() const override { return size(); }

  // The caption as it fits the button, ending in an ellipsis when cut.
  QString ShownCaption() const;

  // Whether the button keeps its keys down just now; it then looks pressed.
  bool Held() const { return held_; }
  void SetHeld(bool held);

 protected:
  // A cut caption shows whole in the tooltip.
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // The stock button repaints at once on press and before emitting clicked; under the area's
  // shadow that paint blurs the whole area. Painting after the click keeps it off the path from
  // the click to the key strokes. Presses of other buttons end here too: a pen's barrel button
  // on a bar button neither clicks it nor reaches the area below.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool held_ = false;
};

}  // namespace kavo
