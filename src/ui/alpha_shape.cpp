#include "ui/alpha_shape.h"

#include <utility>

namespace kavo {

std::vector<QRect> OpaqueShape(const QImage& source) {
  // Alpha reads the same with or without premultiplied colours: only other formats are copied.
  const bool direct = source.format() == QImage::Format_ARGB32 ||
                      source.format() == QImage::Format_ARGB32_Premultiplied;
  const QImage image = direct ? source : source.convertToFormat(QImage::Format_ARGB32);
  std::vector<QRect> done;
  // The runs of the row above, still growing downwards while the rows below repeat them.
  std::vector<QRect> open;
  std::vector<std::pair<int, int>> runs;
  for (int y = 0; y <= image.height(); ++y) {
    runs.clear();
    if (y < image.height()) {
      const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width();) {
        if (qAlpha(row[x]) < 128) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < image.width() && qAlpha(row[x]) >= 128) ++x;
        runs.emplace_back(start, x - start);
      }
    }
    const bool same =
        runs.size() == open.size() &&
        std::equal(runs.begin(), runs.end(), open.begin(), [](const auto& run, const QRect& r) {
          return run.first == r.x() && run.second == r.width();
        });
    if (same) {
      for (QRect& r : open) r.setHeight(r.height() + 1);
      continue;
    }
    done.insert(done.end(), open.begin(), open.end());
    open.clear();
    for (const auto& [x, width] : runs) open.emplace_back(x, y, width, 1);
  }
  return done;
}

}  // namespace kavo
