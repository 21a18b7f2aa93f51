#include "tests/resources/ExecutableImage.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using Sections = std::vector<IMAGE_SECTION_HEADER>;

template <typename T>
std::optional<T> ReadAt(const std::vector<uint8_t>& file, size_t offset) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) {
        return std::nullopt;
    }
    T value;
    std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

// Where the byte at a relative virtual address lies in the file: in the stored
// part of the section that holds it.
std::optional<size_t> FileOffsetOf(const Sections& sections, uint32_t address) {
    for (const IMAGE_SECTION_HEADER& section : sections) {
        if (address >= section.VirtualAddress && address - section.VirtualAddress < section.SizeOfRawData) {
            return size_t{section.PointerToRawData} + (address - section.VirtualAddress);
        }
    }
    return std::nullopt;
}

std::optional<std::string> TextAt(const std::vector<uint8_t>& file, std::optional<size_t> offset) {
    if (!offset || *offset >= file.size()) {
        return std::nullopt;
    }
    const char* begin = reinterpret_cast<const char*>(file.data()) + *offset;
    const void* end = std::memchr(begin, 0, file.size() - *offset);
    if (end == nullptr) {
        return std::nullopt;
    }
    return std::string(begin, static_cast<const char*>(end));
}

std::optional<std::vector<std::string>> ImportedDlls(const std::vector<uint8_t>& file,
                                                     const Sections& sections,
                                                     const IMAGE_DATA_DIRECTORY& imports) {
    std::vector<std::string> names;
    if (imports.VirtualAddress == 0) {
        return names;
    }
    std::optional<size_t> table = FileOffsetOf(sections, imports.VirtualAddress);
    if (!table) {
        return std::nullopt;
    }
    for (size_t entry = *table;; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        std::optional<IMAGE_IMPORT_DESCRIPTOR> descriptor = ReadAt<IMAGE_IMPORT_DESCRIPTOR>(file, entry);
        if (!descriptor) {
            return std::nullopt;
        }
        // The table ends with an empty entry.
        if (descriptor->Name == 0) {
            return names;
        }
        std::optional<std::string> name = TextAt(file, FileOffsetOf(sections, descriptor->Name));
        if (!name) {
            return std::nullopt;
        }
        names.push_back(*name);
    }
}

}  // namespace

std::optional<ExecutableImage> ReadExecutableImage(const std::vector<uint8_t>& file) {
    std::optional<IMAGE_DOS_HEADER> dos = ReadAt<IMAGE_DOS_HEADER>(file, 0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0) {
        return std::nullopt;
    }
    size_t headersAt = static_cast<size_t>(dos->e_lfanew);
    std::optional<IMAGE_NT_HEADERS32> headers = ReadAt<IMAGE_NT_HEADERS32>(file, headersAt);
    if (!headers || headers->Signature != IMAGE_NT_SIGNATURE ||
        headers->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        return std::nullopt;
    }
    const IMAGE_FILE_HEADER& fileHeader = headers->FileHeader;
    const IMAGE_OPTIONAL_HEADER32& optional = headers->OptionalHeader;

    Sections sections;
    size_t sectionAt =
        headersAt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + fileHeader.SizeOfOptionalHeader;
    for (int i = 0; i < fileHeader.NumberOfSections; ++i, sectionAt += sizeof(IMAGE_SECTION_HEADER)) {
        std::optional<IMAGE_SECTION_HEADER> section = ReadAt<IMAGE_SECTION_HEADER>(file, sectionAt);
        if (!section) {
            return std::nullopt;
        }
        sections.push_back(*section);
    }

    // A header may list fewer directories than the format knows; the missing ones are empty.
    auto directory = [&](unsigned index) {
        return index < optional.NumberOfRvaAndSizes ? optional.DataDirectory[index] : IMAGE_DATA_DIRECTORY{};
    };
    std::optional<std::vector<std::string>> imports =
        ImportedDlls(file, sections, directory(IMAGE_DIRECTORY_ENTRY_IMPORT));
    if (!imports) {
        return std::nullopt;
    }

    ExecutableImage image;
    image.fileBytes = file.size();
    image.machine = fileHeader.Machine;
    image.fileCharacteristics = fileHeader.Characteristics;
    image.dllCharacteristics = optional.DllCharacteristics;
    image.resourceBytes = directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).Size;
    image.relocationBytes = directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size;
    image.importedDlls = *imports;
    return image;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
