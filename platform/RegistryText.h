#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

// Reads a text value the way every lookup of the launcher does: one 256-byte
// buffer with 255 bytes offered, the type ignored, the text running to the
// first zero byte and never past the bytes delivered. A value that needs more
// than 255 bytes counts as absent. The key is closed whenever it was opened.
//
// With reads = 2 the value is read twice in a row into the same buffer and
// size variable, and only the second read decides. The view is 0 or
// kKeyWow64_64Key.
std::optional<std::string> ReadRegistryText(Platform& platform, RegistryRoot root, const std::string& subkey,
                                            const std::string& valueName, int reads = 1,
                                            std::uint32_t view = 0);
