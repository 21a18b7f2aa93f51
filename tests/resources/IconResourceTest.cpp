#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/resources/OwnResource.h"

namespace {

const WORD kDanish = MAKELANGID(LANG_DANISH, SUBLANG_DEFAULT);

// One GRPICONDIRENTRY of the icon group.
struct GroupEntry {
    int width;
    int height;
    int colours;
    int planes;
    int bitsPerPixel;
    uint32_t bytes;
    int id;
};

std::vector<GroupEntry> ReadGroup(const std::vector<uint8_t>& group, uint16_t* type) {
    FieldReader reader(group);
    reader.U16();
    *type = reader.U16();
    std::vector<GroupEntry> entries(reader.U16());
    for (GroupEntry& entry : entries) {
        entry.width = reader.U8();
        entry.height = reader.U8();
        entry.colours = reader.U8();
        reader.U8();
        entry.planes = reader.U16();
        entry.bitsPerPixel = reader.U16();
        entry.bytes = reader.U32();
        entry.id = reader.U16();
    }
    if (reader.Overran())
        entries.clear();
    return entries;
}

// A 4-bit icon image: header, 16-colour palette, colour rows, then 1-bit mask rows; both bottom-up.
class IconImage {
public:
    IconImage(std::vector<uint8_t> bytes, int size) : bytes_(std::move(bytes)), size_(size) {}

    static size_t BytesFor(int size) {
        return kColoursAt + size * ((size * 4 + 31) / 32 * 4) + size * ((size + 31) / 32 * 4);
    }

    int ColourAt(int x, int y) const {
        uint8_t pair = bytes_[kColoursAt + y * ColourRowBytes() + x / 2];
        return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
    }
    bool TransparentAt(int x, int y) const {
        uint8_t bits = bytes_[kColoursAt + size_ * ColourRowBytes() + y * MaskRowBytes() + x / 8];
        return (bits & (0x80 >> (x % 8))) != 0;
    }
    int CountTransparent() const {
        int count = 0;
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x)
                count += TransparentAt(x, y);
        return count;
    }

private:
    static const int kColoursAt = 40 + 16 * 4;
    int ColourRowBytes() const { return (size_ * 4 + 31) / 32 * 4; }
    int MaskRowBytes() const { return (size_ + 31) / 32 * 4; }

    std::vector<uint8_t> bytes_;
    int size_;
};

TEST(IconResource, GroupIsStoredOnlyInDanish) {
    EXPECT_EQ(OwnResourceLanguages(RT_GROUP_ICON, IDI_LAUNCHER), std::vector<WORD>{kDanish});
}

TEST(IconResource, GroupListsA32And16PixelSixteenColourImageInThatOrder) {
    uint16_t type = 0;
    std::vector<GroupEntry> entries = ReadGroup(OwnResource(RT_GROUP_ICON, IDI_LAUNCHER, kDanish), &type);
    EXPECT_EQ(type, 1) << "icon, not cursor";
    ASSERT_EQ(entries.size(), 2u);

    const struct {
        int size;
        uint32_t bytes;
    } kExpected[] = {{32, 744}, {16, 296}};
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        EXPECT_EQ(entries[i].width, kExpected[i].size);
        EXPECT_EQ(entries[i].height, kExpected[i].size);
        EXPECT_EQ(entries[i].colours, 16);
        EXPECT_EQ(entries[i].planes, 1);
        EXPECT_EQ(entries[i].bitsPerPixel, 4);
        EXPECT_EQ(entries[i].bytes, kExpected[i].bytes);

        std::vector<uint8_t> image = OwnResource(RT_ICON, entries[i].id, kDanish);
        ASSERT_EQ(image.size(), kExpected[i].bytes);
        FieldReader header(image);
        EXPECT_EQ(header.U32(), 40u) << "biSize";
        EXPECT_EQ(header.U32(), static_cast<uint32_t>(kExpected[i].size)) << "biWidth";
        EXPECT_EQ(header.U32(), static_cast<uint32_t>(2 * kExpected[i].size)) << "biHeight, colours and mask";
        EXPECT_EQ(header.U16(), 1) << "biPlanes";
        EXPECT_EQ(header.U16(), 4) << "biBitCount";
        EXPECT_EQ(header.U32(), static_cast<uint32_t>(BI_RGB)) << "biCompression";
    }
}

class IconImages : public testing::Test {
protected:
    void SetUp() override {
        uint16_t type = 0;
        std::vector<GroupEntry> entries = ReadGroup(OwnResource(RT_GROUP_ICON, IDI_LAUNCHER, kDanish), &type);
        ASSERT_EQ(entries.size(), 2u);
        for (const GroupEntry& entry : entries) {
            std::vector<uint8_t> bytes = OwnResource(RT_ICON, entry.id, kDanish);
            ASSERT_EQ(bytes.size(), IconImage::BytesFor(entry.width));
            images_.emplace_back(std::move(bytes), entry.width);
        }
    }
    const IconImage& Large() const { return images_[0]; }
    const IconImage& Small() const { return images_[1]; }

private:
    std::vector<IconImage> images_;
};

TEST_F(IconImages, LargeImageHasATransparentBackgroundAroundAnOpaquePicture) {
    int transparent = Large().CountTransparent();
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 32 * 32 / 2);
    EXPECT_TRUE(Large().TransparentAt(0, 0));
    EXPECT_TRUE(Large().TransparentAt(31, 31));
    EXPECT_FALSE(Large().TransparentAt(16, 16));
}

TEST_F(IconImages, SmallImageIsFullyOpaque) {
    EXPECT_EQ(Small().CountTransparent(), 0);
}

TEST_F(IconImages, SmallImageIsADifferentPictureNotAShrunkCopy) {
    int differing = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            differing += Small().ColourAt(x, y) != Large().ColourAt(2 * x, 2 * y);
    EXPECT_GT(differing, 16 * 16 / 4);
}

TEST(IconResource, LoadsAtTheStandardSizeThroughTheUsualCall) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_LAUNCHER));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    EXPECT_EQ(GetObjectA(info.hbmMask, sizeof mask, &mask), static_cast<int>(sizeof mask));
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

}  // namespace
