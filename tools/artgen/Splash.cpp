#include "Splash.h"

#include <cmath>
#include <cstdint>
#include <iterator>

#include "Geometry.h"
#include "Lettering.h"

namespace {

const int kWidth = 400;
const int kHeight = 300;
const double kHorizon = 200;
const Point kSunCentre = {200, 176};
const double kSunRadius = 72;

Rgb SkyAt(double y) {
    struct Stop {
        double at;
        Rgb colour;
    };
    const Stop stops[] = {{0.0, Hex(0x0B0A28)},
                          {0.35, Hex(0x281654)},
                          {0.58, Hex(0x6B2A7C)},
                          {0.8, Hex(0xD84E78)},
                          {1.0, Hex(0xFFB45E)}};
    double t = Clamp01(y / kHorizon);
    for (size_t i = 1; i < std::size(stops); ++i)
        if (t <= stops[i].at)
            return Mix(stops[i - 1].colour, stops[i].colour,
                       (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    return std::end(stops)[-1].colour;
}

// A repeatable pseudo-random value in [0, 1) for a pixel, for scattering stars.
double Noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFFFF) / 16777216.0;
}

Ink Stars(double x, double y) {
    double n = Noise(static_cast<int>(x), static_cast<int>(y));
    if (n > 0.006)
        return {{}, 0};
    double fade = SmoothStep(150, 40, y);
    return {Hex(0xFFF6E8), fade * (0.4 + 100 * n)};
}

Ink SunGlow(double x, double y) {
    double d = std::hypot(x - kSunCentre.x, y - kSunCentre.y);
    return {Hex(0xFF8A70), d < kSunRadius ? 0 : 0.45 * std::exp(-(d - kSunRadius) / 28)};
}

// The sun's lower half is cut by bands that widen towards the horizon.
Ink Sun(double x, double y) {
    double d = std::hypot(x - kSunCentre.x, y - kSunCentre.y);
    double cover = Clamp01(kSunRadius - d + 0.5);
    double below = y - (kSunCentre.y - 26);
    if (below > 0) {
        double band = std::fmod(below, 10.0);
        double gap = 1.0 + below / 8.0;
        cover *= SmoothStep(gap - 0.5, gap + 0.5, band);
    }
    double t = Clamp01((y - (kSunCentre.y - kSunRadius)) / (2 * kSunRadius));
    return {Mix(Hex(0xFFF3A6), Hex(0xFF4F8B), t), cover};
}

struct Peak {
    double x;
    double height;
    double halfWidth;
};

double RidgeHeight(const Peak* peaks, int count, double x, double roughness) {
    double height = 0;
    for (int i = 0; i < count; ++i)
        height = std::fmax(height, peaks[i].height * (1 - std::fabs(x - peaks[i].x) / peaks[i].halfWidth));
    return height + roughness * (std::sin(x * 0.21) + 0.6 * std::sin(x * 0.47 + 2));
}

// Two ranges frame a valley in the middle, where the sun goes down; the far one is lit along its ridge.
Ink FarMountains(double x, double y) {
    const Peak peaks[] = {{20, 92, 95},  {92, 66, 70},   {150, 28, 55},
                          {262, 34, 55}, {322, 96, 100}, {392, 70, 70}};
    double ridge = kHorizon - RidgeHeight(peaks, 6, x, 1.5);
    double depth = y - ridge;
    Rgb body = Mix(Hex(0x5A2A78), Hex(0x2E1650), Clamp01(depth / 60));
    Rgb colour = Mix(Hex(0xFF8FB0), body, SmoothStep(0, 3, depth));
    return {colour, Clamp01(depth + 0.5)};
}

Ink NearMountains(double x, double y) {
    const Peak peaks[] = {{-10, 58, 80}, {60, 40, 60},  {118, 14, 40},
                          {300, 18, 50}, {360, 50, 70}, {420, 62, 60}};
    double ridge = kHorizon - RidgeHeight(peaks, 6, x, 1.0);
    return {Mix(Hex(0x2A1244), Hex(0x160A2A), Clamp01((y - ridge) / 40)), Clamp01(y - ridge + 0.5)};
}

Ink Floor(double, double y) {
    return {Mix(Hex(0x241040), Hex(0x06030E), Clamp01((y - kHorizon) / (kHeight - kHorizon))),
            Clamp01(y - kHorizon)};
}

// A glowing grid laid on the floor in perspective, vanishing at the sun's centre on the horizon.
Ink FloorGrid(double x, double y) {
    double below = y - kHorizon;
    if (below <= 0)
        return {{}, 0};
    double nearest = 1e9;
    for (int n = 1; n < 40; ++n)
        nearest = std::fmin(nearest, std::fabs(below - 112.0 / (1 + 0.5 * n)));
    double acrossHorizontal = nearest;

    const double spacing = 44;  // between the lines where they meet the picture's bottom edge
    double atBottom = (x - kSunCentre.x) * (kHeight - kHorizon) / below;
    double k = std::round(atBottom / spacing);
    double lineX = kSunCentre.x + k * spacing * below / (kHeight - kHorizon);
    double slope = k * spacing / (kHeight - kHorizon);
    double acrossVertical = std::fabs(x - lineX) / std::sqrt(1 + slope * slope);

    double d = std::fmin(acrossHorizontal, acrossVertical);
    double haze = SmoothStep(0, 30, below);
    double line = Clamp01(1.1 - d) * 0.9 + Clamp01(1 - d / 4) * 0.25;
    return {Mix(Hex(0xFF4FD0), Hex(0xFFB0F0), Clamp01(1.1 - d)), line * (0.25 + 0.75 * haze)};
}

Ink HorizonGlow(double, double y) {
    return {Hex(0xFFB070), 0.8 * std::exp(-std::fabs(y - kHorizon) / 2.5)};
}

class Title {
public:
    Title() {
        const double unit = 45;
        double width = LayOutWord("Vastrel", 0, 0, unit).width;
        lettering_ = LayOutWord("Vastrel", (kWidth - width) / 2, kBaseline, unit);
        top_ = kBaseline - 1.5 * unit;
    }

    Ink Shadow(double x, double y) const {
        double d = DistanceToStrokes({x - 5, y - 6}, lettering_.strokes);
        return {Hex(0x080314), 0.6 * SmoothStep(kPen + kOutline + 4, kPen + kOutline - 1, d)};
    }

    Ink Outline(double x, double y) const {
        double d = DistanceToStrokes({x, y}, lettering_.strokes);
        return {Hex(0x1A0A2C), Clamp01(kPen + kOutline - d + 0.5)};
    }

    // Warm gold at the top of the letters cooling to coral at the baseline, with a bright edge on top.
    Ink Fill(double x, double y) const {
        double d = DistanceToStrokes({x, y}, lettering_.strokes);
        double t = Clamp01((y - top_) / (kBaseline - top_));
        Rgb colour =
            t < 0.5 ? Mix(Hex(0xFFF7C0), Hex(0xFFC53A), t * 2) : Mix(Hex(0xFFC53A), Hex(0xFF5A3C), t * 2 - 1);
        double above = DistanceToStrokes({x, y - 2.5}, lettering_.strokes);
        colour = Mix(colour, Hex(0xFFFFFF), 0.5 * SmoothStep(kPen - 0.5, kPen + 0.5, above));
        return {colour, Clamp01(kPen - d + 0.5)};
    }

private:
    static constexpr double kBaseline = 96;
    static constexpr double kPen = 7.5;  // half the stroke width
    static constexpr double kOutline = 3;
    Lettering lettering_;
    double top_;
};

}  // namespace

Image DrawSplash() {
    Image image(kWidth, kHeight);
    image.Paint([](double, double y) { return Ink{SkyAt(y), 1}; });
    image.Paint(Stars);
    image.Paint(SunGlow);
    image.Paint(Sun);
    image.Paint(FarMountains);
    image.Paint(NearMountains);
    image.Paint(Floor);
    image.Paint(FloorGrid);
    image.Paint(HorizonGlow);
    Title title;
    image.Paint([&](double x, double y) { return title.Shadow(x, y); });
    image.Paint([&](double x, double y) { return title.Outline(x, y); });
    image.Paint([&](double x, double y) { return title.Fill(x, y); });
    return image;
}
