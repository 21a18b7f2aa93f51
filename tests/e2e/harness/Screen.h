#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A picture as 0x00RRGGBB pixels, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// What the screen shows in the rectangle.
Picture CaptureScreen(const RECT& area);

// A bitmap resource of a program file, drawn as a window would show it.
Picture LoadBitmapPicture(const std::string& program, int bitmapId);

// One of the system's icons (IDI_HAND, ...) drawn with DrawIcon at the
// top-left of a width x height picture filled with the background colour.
Picture DrawSystemIcon(LPCSTR iconId, int width, int height, COLORREF background);

// The number of pixels in which the pictures differ by more than tolerance in
// any colour channel; every pixel counts when their sizes differ.
int CountDifferentPixels(const Picture& a, const Picture& b, int tolerance);
