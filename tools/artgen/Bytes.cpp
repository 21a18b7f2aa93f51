#include "Bytes.h"

#include <fstream>

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.Data().data()), bytes.Size());
    return static_cast<bool>(file);
}
