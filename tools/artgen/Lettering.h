#pragma once

#include <string>
#include <vector>

#include "Geometry.h"

// A word drawn in a round, geometric stroke lettering: each letter is a few centre lines that are
// later inked with a thick round pen. Only the letters of the product's name are designed.
struct Lettering {
    std::vector<Polyline> strokes;  // picture coordinates, y down
    double width;                   // from the first letter's left edge to the last's right edge
};

// Lays out the word with its left end at `left` on the baseline `baseline`; `unit` is the x-height in
// pixels. Capitals and ascenders reach 1.5 units above the baseline.
Lettering LayOutWord(const std::string& word, double left, double baseline, double unit);
