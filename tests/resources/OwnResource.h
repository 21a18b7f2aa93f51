#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The bytes of one of this program's own resources in exactly the given language; empty when missing.
std::vector<uint8_t> OwnResource(LPCSTR type, int id, WORD language);

// Every language in which this program carries the resource.
std::vector<WORD> OwnResourceLanguages(LPCSTR type, int id);

// Reads little-endian fields one after another. Reading past the end yields zeros and marks the
// reader as overrun, so a truncated resource fails the field checks instead of crashing.
class FieldReader {
public:
    explicit FieldReader(const std::vector<uint8_t>& bytes, size_t offset = 0)
        : bytes_(bytes), offset_(offset) {}

    uint32_t Read(int size);
    uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
    uint32_t U32() { return Read(4); }
    uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
    // A zero-terminated UTF-16 text, as dialog templates and version records store them; ASCII only.
    std::string WideText();
    void AlignTo4() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t bytes) { offset_ += bytes; }

    size_t Offset() const { return offset_; }
    bool Overran() const { return overran_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t offset_;
    bool overran_ = false;
};
