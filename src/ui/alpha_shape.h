#pragma once
// The shape of what a see-through window draws, for desktops without a compositor, where a
// window can only show a pixel whole or not at all.

#include <QImage>
#include <QRect>
#include <vector>

namespace kavo {

// The pixels of the image whose alpha is at least half, as rectangles: runs of each row,
// with equal runs of neighbouring rows joined into one rectangle.
std::vector<QRect> OpaqueShape(const QImage& image);

}  // namespace kavo
