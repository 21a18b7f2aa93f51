#include "Lettering.h"

#include <stdexcept>

namespace {

// Letter shapes in font units: baseline at y = 0, x-height 1, y up.
struct Glyph {
    char letter;
    double width;
    double kerning;  // extra space after the letter, negative to tuck the next one in
    std::vector<Polyline> strokes;
};

Polyline Join(Polyline first, const Polyline& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = {
        {'V', 1.1, -0.22, {{{0, 1.5}, {0.55, 0}, {1.1, 1.5}}}},
        {'a', 1.0, 0, {Arc({0.5, 0.5}, 0.5, 0.5, 0, 360), {{1.0, 1.0}, {1.0, 0}}}},
        {'s',
         0.7,
         0,
         {Join(Arc({0.35, 0.75}, 0.35, 0.25, 15, 270), Arc({0.35, 0.25}, 0.35, 0.25, 90, -165))}},
        {'t',
         0.65,
         -0.05,
         {Join({{0.2, 1.4}}, Arc({0.5, 0.3}, 0.3, 0.3, 180, 270)), {{0, 1.0}, {0.65, 1.0}}}},
        {'r', 0.7, 0, {{{0, 0}, {0, 1}}, Arc({0.45, 0.5}, 0.45, 0.5, 180, 55)}},
        {'e', 1.0, 0, {{{0, 0.5}, {1.0, 0.5}}, Arc({0.5, 0.5}, 0.5, 0.5, 0, 320)}},
        {'l', 0, 0, {{{0, 0}, {0, 1.5}}}},
    };
    return glyphs;
}

const Glyph& GlyphFor(char letter) {
    for (const Glyph& glyph : Glyphs())
        if (glyph.letter == letter)
            return glyph;
    throw std::invalid_argument(std::string("no glyph for letter ") + letter);
}

const double kLetterGap = 0.45;

}  // namespace

Lettering LayOutWord(const std::string& word, double left, double baseline, double unit) {
    Lettering lettering{{}, 0};
    double penX = 0;
    for (char letter : word) {
        const Glyph& glyph = GlyphFor(letter);
        for (const Polyline& stroke : glyph.strokes) {
            Polyline placed;
            for (Point p : stroke)
                placed.push_back({left + (penX + p.x) * unit, baseline - p.y * unit});
            lettering.strokes.push_back(placed);
        }
        lettering.width = (penX + glyph.width) * unit;
        penX += glyph.width + glyph.kerning + kLetterGap;
    }
    return lettering;
}
