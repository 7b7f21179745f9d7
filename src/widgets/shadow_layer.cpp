#include "widgets/shadow_layer.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "widgets/drop_shadow.h"

namespace kavo {

TShadowLayer::TShadowLayer(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  lower();
}

// The casters lie inside the layer's parent, beside the layer.
void TShadowLayer::Cast(const std::vector<QWidget*>& casters) {
  QWidget* const parent = parentWidget();
  setGeometry(parent->rect());
  const auto placeOf = [parent](const QWidget* w) { return w->mapTo(parent, QPoint()); };
  QRect bounds;
  for (const QWidget* w : casters) {
    if (!w->isHidden()) bounds |= QRect(placeOf(w), w->size());
  }
  bounds &= rect();
  if (bounds.isEmpty()) {
    image_ = QImage();
    origin_ = QPoint();
    update();
    return;
  }
  const double ratio = devicePixelRatioF();
  // The widgets as they look, then the toolkit's own drop shadow of them: the same look as the
  // effect gave, made once.
  QImage casting(QSize(std::lround(bounds.width() * ratio), std::lround(bounds.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
  casting.setDevicePixelRatio(ratio);
  casting.fill(Qt::transparent);
  for (QWidget* w : casters) {
    if (w->isHidden()) continue;
    const QPoint at = placeOf(w) - bounds.topLeft();
    if (!QRect(at, w->size()).intersects(QRect(QPoint(), bounds.size()))) continue;
    w->render(&casting, at, QRegion(), QWidget::DrawChildren);
  }
  QGraphicsScene scene;
  auto* item = scene.addPixmap(QPixmap::fromImage(casting));
  item->setGraphicsEffect(NewDropShadow(nullptr));
  const int reach = kDropShadowReach + 1;
  const QRect area(bounds.topLeft(), bounds.size() + QSize(reach, reach));
  image_ = QImage(QSize(std::lround(area.width() * ratio), std::lround(area.height() * ratio)),
                  QImage::Format_ARGB32_Premultiplied);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::transparent);
  {
    QPainter painter(&image_);
    scene.render(&painter, QRectF(QPointF(), QSizeF(area.size())),
                 QRectF(QPointF(), QSizeF(area.size())));
  }
  origin_ = area.topLeft();
  update();
}

void TShadowLayer::paintEvent(QPaintEvent* event) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(origin_, image_);
}

}  // namespace kavo
