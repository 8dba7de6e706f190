#include "image/Resample.h"

#include <algorithm>
#include <cmath>

namespace {

struct TPremultiplied {
    float a = 0, r = 0, g = 0, b = 0;
};

}  // namespace

std::vector<uint32_t> ResampleArgb(const TBitmap& bitmap, int width, int height, bool transparent) {
    std::vector<uint32_t> out;
    if (bitmap.Empty() || width < 1 || height < 1) return out;
    const int sw = bitmap.Width(), sh = bitmap.Height();
    const TColorRef clear = bitmap.TransparentColor();
    std::vector<TPremultiplied> source(static_cast<size_t>(sw) * static_cast<size_t>(sh));
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            TColorRef c = bitmap.PixelColor(x, y);
            TPremultiplied& p = source[static_cast<size_t>(y) * static_cast<size_t>(sw) + static_cast<size_t>(x)];
            if (transparent && c == clear) continue;
            p = {1.0f, float(c & 0xFF), float((c >> 8) & 0xFF), float((c >> 16) & 0xFF)};
        }
    auto at = [&](int x, int y) -> const TPremultiplied& {
        x = std::min(std::max(x, 0), sw - 1);
        y = std::min(std::max(y, 0), sh - 1);
        return source[static_cast<size_t>(y) * static_cast<size_t>(sw) + static_cast<size_t>(x)];
    };
    // Where the picture grows: bilinear between the centres of the source pixels; where it
    // shrinks: the mean of the covered source pixels.
    const float fx = float(sw) / float(width), fy = float(sh) / float(height);
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            TPremultiplied sum;
            if (fx <= 1.0f && fy <= 1.0f) {
                float sx = (float(x) + 0.5f) * fx - 0.5f, sy = (float(y) + 0.5f) * fy - 0.5f;
                int x0 = int(std::floor(sx)), y0 = int(std::floor(sy));
                float tx = sx - float(x0), ty = sy - float(y0);
                const TPremultiplied* corner[4] = {&at(x0, y0), &at(x0 + 1, y0), &at(x0, y0 + 1), &at(x0 + 1, y0 + 1)};
                float weight[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
                for (int k = 0; k < 4; ++k) {
                    sum.a += corner[k]->a * weight[k];
                    sum.r += corner[k]->r * weight[k];
                    sum.g += corner[k]->g * weight[k];
                    sum.b += corner[k]->b * weight[k];
                }
            } else {
                int x0 = int(float(x) * fx), x1 = std::max(x0 + 1, int(std::ceil(float(x + 1) * fx)));
                int y0 = int(float(y) * fy), y1 = std::max(y0 + 1, int(std::ceil(float(y + 1) * fy)));
                float n = 0;
                for (int yy = y0; yy < y1; ++yy)
                    for (int xx = x0; xx < x1; ++xx) {
                        const TPremultiplied& p = at(xx, yy);
                        sum.a += p.a, sum.r += p.r, sum.g += p.g, sum.b += p.b;
                        n += 1;
                    }
                sum.a /= n, sum.r /= n, sum.g /= n, sum.b /= n;
            }
            // The colours were stored at full alpha: weighting them sums them premultiplied.
            auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::min(std::max(v, 0.0f), 255.0f))); };
            out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                byte(sum.a * 255.0f) << 24 | byte(sum.r) << 16 | byte(sum.g) << 8 | byte(sum.b);
        }
    return out;
}
