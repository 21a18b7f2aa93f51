#include "Icons.h"

#include <cmath>

#include "Geometry.h"

namespace {

// Asks the rule for the colour at every pixel centre; where it answers kTransparent the pixel keeps
// what lies beneath.
template <typename Rule>
void Draw(IconPicture& picture, Rule colourAt) {
    for (int y = 0; y < picture.size; ++y)
        for (int x = 0; x < picture.size; ++x) {
            int colour = colourAt(x + 0.5, y + 0.5);
            if (colour != kTransparent)
                picture.pixels[y * picture.size + x] = colour;
        }
}

IconPicture Blank(int size, int colour) {
    return {size, std::vector<int>(size * size, colour)};
}

// The V as one stroke centred across the icon; `spread` is its width as a fraction of the icon's size.
double DistanceToV(double x, double y, double size, double spread) {
    double left = (1 - spread) / 2 * size;
    double right = size - left;
    double top = left + 0.06 * size;
    double bottom = size - left + 0.02 * size;
    Polyline v = {{left, top}, {size / 2, bottom}, {right, top}};
    return DistanceToStrokes({x, y}, {v});
}

IconPicture Target() {
    IconPicture picture = Blank(32, kTransparent);
    Draw(picture, [](double x, double y) {
        double r = std::hypot(x - 16, y - 16);
        return r > 15.5 ? kTransparent : r > 14.5 ? kBlack : r > 10.5 ? kRed : r > 6.5 ? kWhite : kRed;
    });
    Draw(picture, [](double x, double y) {
        double d = DistanceToV(x, y, 32, 0.5);
        return d < 1.8 ? kYellow : d < 3.0 ? kBlack : kTransparent;
    });
    return picture;
}

IconPicture Tile() {
    IconPicture picture = Blank(16, kNavy);
    Draw(picture, [](double x, double y) {
        bool edge = x < 1 || y < 1 || x > 15 || y > 15;
        return edge ? kBlue : kTransparent;
    });
    Draw(picture, [](double x, double y) {
        double d = DistanceToV(x, y, 16, 0.6);
        return d < 1.3 ? kYellow : d < 2.0 ? kBlack : kTransparent;
    });
    return picture;
}

}  // namespace

std::vector<IconPicture> DrawIcons() {
    return {Target(), Tile()};
}
