#pragma once
// The bar's drop shadow, under the title strip and under the buttons: black at 60 %, 3 pixels
// away at 45 degrees, blurred within 6 pixels.

#include <QGraphicsDropShadowEffect>

namespace kavo {

QGraphicsDropShadowEffect* NewDropShadow(QObject* parent);

// How far right and down of what casts it the shadow reaches, in device-independent pixels.
constexpr int kDropShadowReach = 9;

}  // namespace kavo
