#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Little-endian byte output, the order of every field in Windows picture files.
class Bytes {
public:
    void U8(unsigned value) { data_.push_back(static_cast<uint8_t>(value)); }
    void U16(unsigned value) {
        U8(value & 0xFF);
        U8((value >> 8) & 0xFF);
    }
    void U32(uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    size_t Size() const { return data_.size(); }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

// Writes the bytes to a file; false when the file cannot be written.
bool WriteFile(const std::string& path, const Bytes& bytes);
