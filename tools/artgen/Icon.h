#pragma once

#include <vector>

#include "Bytes.h"

// Colour numbers of the standard 16-colour palette.
enum IconColour {
    kBlack,
    kMaroon,
    kGreen,
    kOlive,
    kNavy,
    kPurple,
    kTeal,
    kGrey,
    kSilver,
    kRed,
    kLime,
    kYellow,
    kBlue,
    kMagenta,
    kCyan,
    kWhite,
    kTransparent = -1,
};

// A square icon picture of palette colours, row 0 at the top.
struct IconPicture {
    int size;
    std::vector<int> pixels;  // size * size IconColour values
};

// An .ico file holding the pictures in the given order, each at 4 bits per pixel with an AND mask.
Bytes EncodeIcon(const std::vector<IconPicture>& pictures);
