#include <gtest/gtest.h>

#include <cstring>

#include "tests/resources/OwnResource.h"

namespace {

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const int kVersionRecord = 1;
const char kStrings[] = "\\StringFileInfo\\040904B0\\";

const struct {
    const char* name;
    const char* value;
} kExpectedStrings[] = {
    {"CompanyName", ""},
    {"FileDescription", "vsl MFC Application"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "vsl"},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "vsl.EXE"},
    {"ProductName", "vsl Application"},
    {"ProductVersion", "1, 0, 0, 1"},
};

// One node of a version record: wLength, wValueLength, wType, a UTF-16 key, then (each aligned to
// 4 bytes) its value and its child nodes up to wLength.
struct VersionNode {
    std::string key;
    size_t childrenAt;
    size_t end;
};

VersionNode ReadNode(const std::vector<uint8_t>& record, size_t at) {
    FieldReader reader(record, at);
    uint16_t length = reader.U16();
    uint16_t valueLength = reader.U16();
    bool isText = reader.U16() == 1;
    VersionNode node{reader.WideText(), 0, at + length};
    reader.AlignTo4();
    reader.Skip(isText ? 2 * valueLength : valueLength);
    reader.AlignTo4();
    node.childrenAt = reader.Offset();
    if (reader.Overran() || length == 0 || node.end > record.size())
        node.end = node.childrenAt = at;
    return node;
}

std::vector<VersionNode> Children(const std::vector<uint8_t>& record, const VersionNode& parent) {
    std::vector<VersionNode> children;
    size_t at = parent.childrenAt;
    while (at < parent.end) {
        children.push_back(ReadNode(record, at));
        if (children.back().end == at)
            break;
        at = (children.back().end + 3) & ~size_t{3};
    }
    return children;
}

// The query functions write converted texts behind the record, as they do into a buffer from
// GetFileVersionInfoA, so the record is copied into one with room to spare.
class VersionRecord : public testing::Test {
protected:
    void SetUp() override {
        record_ = OwnResource(RT_VERSION, kVersionRecord, kEnglishUs);
        ASSERT_FALSE(record_.empty());
        buffer_ = record_;
        buffer_.resize(record_.size() * 3);
    }

    bool Query(const std::string& path, void** value, UINT* length) {
        return VerQueryValueA(buffer_.data(), path.c_str(), value, length) != FALSE;
    }

    std::vector<uint8_t> record_;
    std::vector<uint8_t> buffer_;
};

TEST(VersionResource, IsStoredOnlyInUsEnglish) {
    EXPECT_EQ(OwnResourceLanguages(RT_VERSION, kVersionRecord), std::vector<WORD>{kEnglishUs});
}

TEST_F(VersionRecord, FixedPartNamesVersion1001OfAWindowsApplication) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(Query("\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);

    const struct {
        const char* field;
        DWORD actual;
        DWORD expected;
    } kFields[] = {
        {"dwSignature", fixed.dwSignature, 0xFEEF04BD},
        {"dwFileVersionMS", fixed.dwFileVersionMS, 0x00010000},
        {"dwFileVersionLS", fixed.dwFileVersionLS, 0x00000001},
        {"dwProductVersionMS", fixed.dwProductVersionMS, 0x00010000},
        {"dwProductVersionLS", fixed.dwProductVersionLS, 0x00000001},
        {"dwFileFlagsMask", fixed.dwFileFlagsMask, 0x3F},
        {"dwFileFlags", fixed.dwFileFlags, 0},
        {"dwFileOS", fixed.dwFileOS, VOS__WINDOWS32},
        {"dwFileType", fixed.dwFileType, VFT_APP},
        {"dwFileSubtype", fixed.dwFileSubtype, 0},
        {"dwFileDateMS", fixed.dwFileDateMS, 0},
        {"dwFileDateLS", fixed.dwFileDateLS, 0},
    };
    for (const auto& field : kFields)
        EXPECT_EQ(field.actual, field.expected) << field.field;
}

TEST_F(VersionRecord, EveryStringHasItsText) {
    for (const auto& expected : kExpectedStrings) {
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(Query(kStrings + std::string(expected.name), &value, &length)) << expected.name;
        EXPECT_STREQ(static_cast<const char*>(value), expected.value) << expected.name;
    }
}

TEST_F(VersionRecord, StringTableHoldsExactlyTheseNamesInThisOrder) {
    VersionNode root = ReadNode(record_, 0);
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    std::vector<VersionNode> sections = Children(record_, root);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].key, "StringFileInfo");
    EXPECT_EQ(sections[1].key, "VarFileInfo");
    std::vector<VersionNode> tables = Children(record_, sections[0]);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].key, "040904B0");

    std::vector<std::string> names, expected;
    for (const VersionNode& entry : Children(record_, tables[0]))
        names.push_back(entry.key);
    for (const auto& entry : kExpectedStrings)
        expected.push_back(entry.name);
    EXPECT_EQ(names, expected);
}

TEST_F(VersionRecord, HasNoCopyrightLine) {
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(Query(kStrings + std::string("LegalCopyright"), &value, &length));
}

TEST_F(VersionRecord, TranslationIsUsEnglishInUnicode) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(Query("\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const uint8_t* bytes = static_cast<const uint8_t*>(value);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 0x0409);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 0x04B0);
}

}  // namespace
