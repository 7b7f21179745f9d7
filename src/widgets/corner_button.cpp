#include "widgets/corner_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>

namespace kavo {

TCornerButton::TCornerButton(QWidget* parent) : QAbstractButton(parent) {
  // A bar button never takes the keyboard focus from the program it types into.
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
}

QSizeF TCornerButton::EffectiveRadii() const {
  const float rx = std::min(XRadius, static_cast<float>(width()) / 2);
  const float ry = std::min(YRadius, static_cast<float>(height()) / 2);
  if (rx < 0.0001f || ry < 0.0001f) return {0, 0};
  return {rx, ry};
}

QString TCornerButton::ShownCaption() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, width() - 4));
}

bool TCornerButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    QStringList lines;
    if (ShownCaption() != text()) lines << text();
    if (!Keys.isEmpty()) lines << Keys;
    if (!lines.isEmpty()) {
      QToolTip::showText(help->globalPos(), lines.join(QLatin1Char('\n')), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QAbstractButton::event(event);
}

void TCornerButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  setDown(true);  // schedules the paint
  emit pressed();
  event->accept();
}

void TCornerButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isDown()) {
    event->accept();
    return;
  }
  setDown(false);
  emit released();
  event->accept();
  if (hitButton(event->position().toPoint())) emit clicked(false);
}

void TCornerButton::SetHeld(bool held) {
  if (held == held_) return;
  held_ = held;
  update();
}

void TCornerButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const QSizeF radii = EffectiveRadii();
  QPainterPath outline;
  if (radii.isNull()) {
    outline.addRect(box);
  } else {
    outline.addRoundedRect(box, radii.width(), radii.height());
  }
  QColor face = palette().color(QPalette::Button);
  if (isDown() || held_) {
    face = face.darker(120);
  } else if (underMouse()) {
    face = face.lighter(110);
  }
  painter.fillPath(outline, face);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawPath(outline);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawText(rect(), Qt::AlignCenter, ShownCaption());
}

}  // namespace kavo
