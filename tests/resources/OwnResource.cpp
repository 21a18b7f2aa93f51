#include "tests/resources/OwnResource.h"

std::vector<uint8_t> OwnResource(LPCSTR type, int id, WORD language) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(self, type, MAKEINTRESOURCEA(id), language);
    if (found == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(self, found);
    const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (data == nullptr)
        return {};
    return std::vector<uint8_t>(data, data + SizeofResource(self, found));
}

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

std::vector<WORD> OwnResourceLanguages(LPCSTR type, int id) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, MAKEINTRESOURCEA(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

uint32_t FieldReader::Read(int size) {
    if (offset_ + size > bytes_.size()) {
        overran_ = true;
        offset_ = bytes_.size();
        return 0;
    }
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<uint32_t>(bytes_[offset_ + i]) << (8 * i);
    offset_ += size;
    return value;
}

std::string FieldReader::WideText() {
    std::string text;
    for (uint16_t c = U16(); c != 0 && !overran_; c = U16())
        text += static_cast<char>(c);
    return text;
}
