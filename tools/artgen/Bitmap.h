#pragma once

#include "Bytes.h"
#include "Image.h"

// A .bmp file of 16 bits per pixel (5 bits each of red, green and blue, top bit clear), rows bottom-up,
// followed by two zero bytes that belong to the bitmap data.
Bytes EncodeBitmap16(const Image& image);
