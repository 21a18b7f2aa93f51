#include "Bitmap.h"

#include <cmath>

namespace {

const int kFileHeaderSize = 14;
const int kInfoHeaderSize = 40;
const int kTrailingZeros = 2;
const int kPixelsPerMetre = 2834;  // 72 dots per inch

// 4 x 4 ordered dither thresholds, so the sky's gradient survives 5 bits per channel without bands.
const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

unsigned ToFiveBits(double value, int x, int y) {
    double threshold = (kBayer[y % 4][x % 4] + 0.5) / 16.0;
    int level = static_cast<int>(std::floor(value * 31.0 + threshold));
    return static_cast<unsigned>(level < 0 ? 0 : level > 31 ? 31 : level);
}

}  // namespace

Bytes EncodeBitmap16(const Image& image) {
    const int rowBytes = (image.Width() * 2 + 3) / 4 * 4;
    const uint32_t dataSize = kInfoHeaderSize + rowBytes * image.Height() + kTrailingZeros;
    Bytes out;
    out.U8('B');
    out.U8('M');
    out.U32(kFileHeaderSize + dataSize);
    out.U32(0);
    out.U32(kFileHeaderSize + kInfoHeaderSize);

    out.U32(kInfoHeaderSize);
    out.U32(image.Width());
    out.U32(image.Height());
    out.U16(1);   // planes
    out.U16(16);  // bits per pixel
    out.U32(0);   // BI_RGB
    out.U32(0);   // image size, optional for BI_RGB
    out.U32(kPixelsPerMetre);
    out.U32(kPixelsPerMetre);
    out.U32(0);  // colours used
    out.U32(0);  // colours important

    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            Rgb c = image.At(x, y);
            out.U16(ToFiveBits(c.r, x, y) << 10 | ToFiveBits(c.g, x, y) << 5 | ToFiveBits(c.b, x, y));
        }
        for (int pad = image.Width() * 2; pad < rowBytes; ++pad)
            out.U8(0);
    }
    for (int i = 0; i < kTrailingZeros; ++i)
        out.U8(0);
    return out;
}
