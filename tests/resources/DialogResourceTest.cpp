#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/resources/OwnResource.h"

namespace {

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

TEST(DialogResource, IsStoredOnlyInUsEnglish) {
    EXPECT_EQ(OwnResourceLanguages(RT_DIALOG, IDD_LAUNCHER), std::vector<WORD>{kEnglishUs});
}

TEST(DialogResource, IsAnEmptyExtendedTemplateWithACaptionedModalFrame) {
    std::vector<uint8_t> bytes = OwnResource(RT_DIALOG, IDD_LAUNCHER, kEnglishUs);
    ASSERT_FALSE(bytes.empty());

    // The fixed part of DLGTEMPLATEEX, then the menu and class fields as 16-bit zeros (none, default).
    const struct {
        const char* field;
        int size;
        uint32_t expected;
    } kHeader[] = {
        {"dlgVer", 2, 1},
        {"signature", 2, 0xFFFF},
        {"helpID", 4, 0},
        {"exStyle", 4, WS_EX_APPWINDOW},
        {"style", 4,
         0x90C800C0},  // WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
        {"cDlgItems", 2, 0},
        {"x", 2, 0},
        {"y", 2, 0},
        {"cx", 2, 43},
        {"cy", 2, 9},
        {"menu", 2, 0},
        {"windowClass", 2, 0},
    };
    FieldReader reader(bytes);
    for (const auto& field : kHeader)
        EXPECT_EQ(reader.Read(field.size), field.expected) << field.field;

    EXPECT_EQ(reader.WideText(), "vsl");
    EXPECT_EQ(reader.U16(), 8) << "pointsize";
    EXPECT_EQ(reader.U16(), 0) << "weight";
    EXPECT_EQ(reader.U8(), 0) << "italic";
    EXPECT_EQ(reader.U8(), DEFAULT_CHARSET) << "charset";
    EXPECT_EQ(reader.WideText(), "MS Sans Serif");
    EXPECT_FALSE(reader.Overran());
}

}  // namespace
