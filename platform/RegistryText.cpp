#include "platform/RegistryText.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kBufferSize = 256;
constexpr std::uint32_t kOffered = kBufferSize - 1;

}  // namespace

std::optional<std::string> ReadRegistryText(Platform& platform, RegistryRoot root, const std::string& subkey,
                                            const std::string& valueName, int reads, std::uint32_t view) {
    std::optional<RegistryKey> key = platform.OpenKey(root, subkey, kKeyQueryValue | view);
    if (!key) {
        return std::nullopt;
    }

    unsigned char buffer[kBufferSize] = {};
    std::uint32_t size = kOffered;
    bool read = false;
    for (int i = 0; i < reads; i++) {
        // A failed first read may leave the size the value would need; the
        // buffer never offers more than its own 255 bytes.
        size = std::min(size, kOffered);
        read = platform.QueryValue(*key, valueName, buffer, &size);
    }
    platform.CloseKey(*key);
    if (!read) {
        return std::nullopt;
    }

    std::uint32_t delivered = std::min(size, kOffered);
    const char* text = reinterpret_cast<const char*>(buffer);
    return std::string(text, strnlen(text, delivered));
}
