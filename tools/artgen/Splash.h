#pragma once

#include "Image.h"

// The 400 x 300 title picture: the product's name over a sunset arena.
Image DrawSplash();
