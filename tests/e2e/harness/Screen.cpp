#include "harness/Screen.h"

#include <cstdlib>

#include "tests/support/Files.h"

namespace {

// Copies width x height pixels from the source device context into a picture,
// through a 32-bit top-down DIB section.
Picture CopyPixels(HDC source, int x, int y, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = NULL;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (section == NULL) {
        throw SetupError("cannot make a bitmap to copy pixels into");
    }
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, section);
    BOOL copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();

    Picture picture;
    picture.width = width;
    picture.height = height;
    const std::uint32_t* pixels = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + width * height);
    for (std::uint32_t& pixel : picture.pixels) {
        pixel &= 0x00FFFFFF;
    }

    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    if (!copied) {
        throw SetupError("cannot copy pixels");
    }
    return picture;
}

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

}  // namespace

Picture CaptureScreen(const RECT& area) {
    HDC screen = GetDC(NULL);
    Picture picture = CopyPixels(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(NULL, screen);
    return picture;
}

Picture LoadBitmapPicture(const std::string& program, int bitmapId) {
    HMODULE module = LoadLibraryExA(program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL) {
        throw SetupError("cannot open " + program + " for its resources");
    }
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    FreeLibrary(module);
    if (bitmap == NULL) {
        throw SetupError("no bitmap " + std::to_string(bitmapId) + " in " + program);
    }
    BITMAP size = {};
    GetObjectA(bitmap, sizeof(size), &size);

    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    Picture picture = CopyPixels(memory, 0, 0, size.bmWidth, size.bmHeight);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    DeleteObject(bitmap);
    return picture;
}

Picture DrawSystemIcon(LPCSTR iconId, int width, int height, COLORREF background) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, canvas);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIcon(memory, 0, 0, LoadIconA(NULL, iconId));
    Picture picture = CopyPixels(memory, 0, 0, width, height);
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return picture;
}

int CountDifferentPixels(const Picture& a, const Picture& b, int tolerance) {
    if (a.width != b.width || a.height != b.height) {
        return a.width * a.height + b.width * b.height;
    }
    int different = 0;
    for (size_t i = 0; i < a.pixels.size(); i++) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(Channel(a.pixels[i], shift) - Channel(b.pixels[i], shift)) > tolerance) {
                different++;
                break;
            }
        }
    }
    return different;
}
