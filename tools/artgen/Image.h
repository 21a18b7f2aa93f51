#pragma once

#include <vector>

struct Rgb {
    double r;
    double g;
    double b;
};

inline Rgb Mix(Rgb from, Rgb to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

// Colour from a 0xRRGGBB literal, so the art reads like a palette.
constexpr Rgb Hex(unsigned rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// What a layer puts on one pixel: a colour and the share of the pixel it covers.
struct Ink {
    Rgb colour;
    double coverage;
};

// A true-colour picture, row 0 at the top, drawn by laying layers over each other.
class Image {
public:
    Image(int width, int height) : width_(width), height_(height), pixels_(width * height, Rgb{0, 0, 0}) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const { return pixels_[y * width_ + x]; }

    // The layer is asked for each pixel centre, as layer(x, y) returning Ink.
    template <typename Layer>
    void Paint(Layer layer) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                Ink ink = layer(x + 0.5, y + 0.5);
                Rgb& pixel = pixels_[y * width_ + x];
                if (ink.coverage > 0.0)
                    pixel = Mix(pixel, ink.colour, ink.coverage > 1.0 ? 1.0 : ink.coverage);
            }
    }

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};
