// Draws the program's pictures in code and writes them as the files the resource script embeds:
//   artgen <splash.bmp> <icon.ico>
#include <cstdio>

#include "Bitmap.h"
#include "Icons.h"
#include "Splash.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <splash.bmp> <icon.ico>\n", argv[0]);
        return 2;
    }
    if (!WriteFile(argv[1], EncodeBitmap16(DrawSplash()))) {
        std::fprintf(stderr, "artgen: cannot write %s\n", argv[1]);
        return 1;
    }
    if (!WriteFile(argv[2], EncodeIcon(DrawIcons()))) {
        std::fprintf(stderr, "artgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
