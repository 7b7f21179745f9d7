#pragma once
// The drop shadow under a group of widgets, painted from an image made when they move or change,
// not at every press: a live effect on their parent draws every one of them again and blurs the
// result at each press and release, which made a click cost several times a plain button's.

#include <QImage>
#include <QWidget>
#include <vector>

namespace kavo {

class TShadowLayer : public QWidget {
  Q_OBJECT
 public:
  // Covers its parent, below the widgets that cast the shadow; presses go through it.
  explicit TShadowLayer(QWidget* parent);

  // Makes the image anew for these widgets (inside the layer's parent), as they look now; none:
  // no shadow.
  void Cast(const std::vector<QWidget*>& casters);
  // The image and where its top-left corner lies in the layer.
  const QImage& Image() const { return image_; }
  QPoint Origin() const { return origin_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  QPoint origin_;
};

}  // namespace kavo
