#pragma once
// The drop shadow under a group of widgets, painted from an image made when they move or change,
// not at every press: a live effect on their parent draws every one of them again and blurs the
// result at each press and release, which made a click cost several times a plain button's.
//
// Widgets of one size cast one shadow: it is made once for that size and painted under each of
// them, the shadows added where they meet. A blur is linear, so the sum is the shadow of them
// all, and a bar of thousands of buttons costs one small blur instead of one the bar's size.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace kavo {

class TShadowLayer : public QWidget {
  Q_OBJECT
 public:
  // Covers its parent, below the widgets that cast the shadow; presses go through it.
  explicit TShadowLayer(QWidget* parent);

  // Takes these widgets (inside the layer's parent) as they are placed and look now; none: no
  // shadow.
  void Cast(const std::vector<QWidget*>& casters);
  // Whether any widget casts a shadow, and how many times the casters were taken.
  bool Casting() const { return !places_.empty(); }
  std::uint64_t Casts() const { return casts_; }
  // The shadow over this rectangle of the layer, as it is painted.
  QImage Render(const QRect& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The shadow of a widget of one size, with the widget itself, from `reach` above and left of
  // the widget's corner.
  struct Shadow {
    QSize size;
    QImage image;
  };
  static QImage ShadowOf(QWidget* caster, double ratio);

  std::vector<Shadow> shadows_;
  std::vector<QRect> places_;          // each caster's rectangle in the layer
  std::vector<std::size_t> shadowOf_;  // and its shadow's index
  std::uint64_t casts_ = 0;
};

}  // namespace kavo
