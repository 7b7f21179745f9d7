#include "widgets/shadow_layer.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "widgets/drop_shadow.h"

namespace kavo {
namespace {

// How far the shadow reaches from its widget's edges, on every side.
constexpr int kReach = kDropShadowReach + 1;

QSize Pixels(QSize size, double ratio) {
  return {static_cast<int>(std::lround(size.width() * ratio)),
          static_cast<int>(std::lround(size.height() * ratio))};
}

}  // namespace

TShadowLayer::TShadowLayer(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  lower();
}

// The casters lie inside the layer's parent, beside the layer.
void TShadowLayer::Cast(const std::vector<QWidget*>& casters) {
  ++casts_;
  QWidget* const parent = parentWidget();
  setGeometry(parent->rect());
  shadows_.clear();
  places_.clear();
  shadowOf_.clear();
  const double ratio = devicePixelRatioF();
  for (QWidget* w : casters) {
    if (w->isHidden()) continue;
    const QRect place(w->mapTo(parent, QPoint()), w->size());
    if (!place.adjusted(-kReach, -kReach, kReach, kReach).intersects(rect())) continue;
    const auto same = std::find_if(shadows_.begin(), shadows_.end(),
                                   [&](const Shadow& s) { return s.size == w->size(); });
    const auto index = static_cast<std::size_t>(same - shadows_.begin());
    if (index == shadows_.size()) shadows_.push_back({w->size(), ShadowOf(w, ratio)});
    places_.push_back(place);
    shadowOf_.push_back(index);
  }
  update();
}

// The widget as it looks, then the toolkit's own drop shadow of it: the look the effect gave.
QImage TShadowLayer::ShadowOf(QWidget* caster, double ratio) {
  const QSize size = caster->size() + QSize(2 * kReach, 2 * kReach);
  QImage casting(Pixels(caster->size(), ratio), QImage::Format_ARGB32_Premultiplied);
  casting.setDevicePixelRatio(ratio);
  casting.fill(Qt::transparent);
  caster->render(&casting, QPoint(), QRegion(), QWidget::DrawChildren);
  QGraphicsScene scene;
  auto* item = scene.addPixmap(QPixmap::fromImage(casting));
  item->setGraphicsEffect(NewDropShadow(nullptr));
  QImage shadow(Pixels(size, ratio), QImage::Format_ARGB32_Premultiplied);
  shadow.setDevicePixelRatio(ratio);
  shadow.fill(Qt::transparent);
  QPainter painter(&shadow);
  scene.render(&painter, QRectF(QPointF(), QSizeF(size)),
               QRectF(QPointF(-kReach, -kReach), QSizeF(size)));
  return shadow;
}

QImage TShadowLayer::Render(const QRect& area) const {
  const double ratio = devicePixelRatioF();
  QImage image(Pixels(area.size(), ratio), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  // Added, not laid over one another: where shadows meet they darken as one shadow would.
  painter.setCompositionMode(QPainter::CompositionMode_Plus);
  painter.translate(-area.topLeft());
  for (std::size_t i = 0; i < places_.size(); ++i) {
    const QRect reach = places_[i].adjusted(-kReach, -kReach, kReach, kReach);
    if (reach.intersects(area)) painter.drawImage(reach.topLeft(), shadows_[shadowOf_[i]].image);
  }
  return image;
}

void TShadowLayer::paintEvent(QPaintEvent* event) {
  if (places_.empty()) return;
  const QRect area = event->rect();
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(area.topLeft(), Render(area));
}

}  // namespace kavo
