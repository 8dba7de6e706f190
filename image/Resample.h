// A bitmap drawn at another size, smoothly: each target pixel is the area-weighted mean of the
// source pixels it covers (bilinear where the picture grows), so a picture scaled for a screen
// of 144 or 192 dots per inch keeps soft edges instead of blocks of repeated pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "image/Bitmap.h"

// Pixels of the bitmap at width x height, top-down, each 0xAARRGGBB with the colour
// premultiplied by its alpha (as the platform's alpha blending takes them). With transparent
// set, the pixels of the bitmap's TransparentColor() count as clear (alpha 0) and do not tint
// their neighbours. Empty for an empty bitmap or a size below 1.
std::vector<uint32_t> ResampleArgb(const TBitmap& bitmap, int width, int height, bool transparent);
