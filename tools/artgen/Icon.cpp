#include "Icon.h"

namespace {

const int kInfoHeaderSize = 40;
const int kPaletteSize = 16 * 4;

const unsigned kStandardPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int RowBytes(int bitsPerRow) {
    return (bitsPerRow + 31) / 32 * 4;
}
int ColourBytes(int size) {
    return RowBytes(size * 4) * size;
}
int MaskBytes(int size) {
    return RowBytes(size) * size;
}
int ImageBytes(int size) {
    return kInfoHeaderSize + kPaletteSize + ColourBytes(size) + MaskBytes(size);
}

void AppendImage(Bytes& out, const IconPicture& picture) {
    const int n = picture.size;
    out.U32(kInfoHeaderSize);
    out.U32(n);
    out.U32(n * 2);  // colour picture and mask stacked
    out.U16(1);
    out.U16(4);
    out.U32(0);
    out.U32(ColourBytes(n) + MaskBytes(n));
    out.U32(0);
    out.U32(0);
    out.U32(0);
    out.U32(0);
    for (unsigned rgb : kStandardPalette) {
        out.U8(rgb & 0xFF);
        out.U8((rgb >> 8) & 0xFF);
        out.U8(rgb >> 16);
        out.U8(0);
    }
    // Transparent pixels are black in the colour picture and set in the mask.
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; x += 2) {
            int left = picture.pixels[y * n + x];
            int right = picture.pixels[y * n + x + 1];
            out.U8((left < 0 ? 0 : left) << 4 | (right < 0 ? 0 : right));
        }
        for (int pad = n / 2; pad < RowBytes(n * 4); ++pad)
            out.U8(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; x += 8) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (picture.pixels[y * n + x + bit] == kTransparent)
                    bits |= 0x80 >> bit;
            out.U8(bits);
        }
        for (int pad = n / 8; pad < RowBytes(n); ++pad)
            out.U8(0);
    }
}

}  // namespace

Bytes EncodeIcon(const std::vector<IconPicture>& pictures) {
    const int kDirectorySize = 6;
    const int kEntrySize = 16;
    Bytes out;
    out.U16(0);
    out.U16(1);  // icon, not cursor
    out.U16(pictures.size());
    uint32_t offset = kDirectorySize + kEntrySize * pictures.size();
    for (const IconPicture& picture : pictures) {
        out.U8(picture.size);
        out.U8(picture.size);
        out.U8(16);  // colours
        out.U8(0);
        out.U16(1);  // planes
        out.U16(4);  // bits per pixel
        out.U32(ImageBytes(picture.size));
        out.U32(offset);
        offset += ImageBytes(picture.size);
    }
    for (const IconPicture& picture : pictures)
        AppendImage(out, picture);
    return out;
}
