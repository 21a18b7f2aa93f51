#pragma once

#include <vector>

#include "Icon.h"

// The program's icon: a 32 x 32 target with a V on a transparent background, and a 16 x 16 V on an
// opaque blue tile for small places where the target would blur.
std::vector<IconPicture> DrawIcons();
