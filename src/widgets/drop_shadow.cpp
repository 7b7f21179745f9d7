#include "widgets/drop_shadow.h"

#include <cmath>
#include <numbers>

namespace kavo {
namespace {

constexpr double kDistance = 3;
constexpr double kBlur = 6;
constexpr int kAlpha = 153;  // 60 %
static_assert(kDropShadowReach == kBlur + kDistance);

}  // namespace

QGraphicsDropShadowEffect* NewDropShadow(QObject* parent) {
  auto* effect = new QGraphicsDropShadowEffect(parent);
  effect->setColor(QColor(0, 0, 0, kAlpha));
  const double direction = std::numbers::pi / 4;  // 45 degrees: right and down
  effect->setOffset(kDistance * std::cos(direction), kDistance * std::sin(direction));
  effect->setBlurRadius(kBlur);
  return effect;
}

}  // namespace kavo
