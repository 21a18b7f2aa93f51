#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a 32-bit Windows executable's headers say about it, read from the file's bytes.
struct ExecutableImage {
    size_t fileBytes = 0;
    uint16_t machine = 0;
    uint16_t fileCharacteristics = 0;
    uint16_t dllCharacteristics = 0;
    uint32_t resourceBytes = 0;    // the resource directory's size
    uint32_t relocationBytes = 0;  // the base relocation directory's size
    std::vector<std::string> importedDlls;
};

// Nothing when the bytes are not a PE32 executable or any header, table or name lies outside them.
std::optional<ExecutableImage> ReadExecutableImage(const std::vector<uint8_t>& file);

std::vector<uint8_t> ReadFileBytes(const std::string& path);
