#include "widgets/bar_icon.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace kavo {

QImage BarIconImage(int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double u = side / 16.0;  // drawn on a 16 x 16 grid
  p.fillRect(QRectF(0, 2 * u, 4 * u, 4 * u), QColor(0x41, 0x69, 0xE1));
  p.fillRect(QRectF(12 * u, 2 * u, 4 * u, 4 * u), QColor(0x00, 0x80, 0x00));
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), std::max(1.0, u / 2)));
  p.setBrush(QColor(0xF0, 0xF0, 0xF0));
  for (int i = 0; i < 2; ++i)
    p.drawRoundedRect(QRectF((i * 8 + 0.5) * u, 8 * u, 7 * u, 6 * u), u, u);
  p.end();
  return image;
}

QIcon BarIcon() {
  QIcon icon;
  for (const int side : kWindowIconSizes) icon.addPixmap(QPixmap::fromImage(BarIconImage(side)));
  return icon;
}

}  // namespace kavo
