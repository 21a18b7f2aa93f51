#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "res/resource.h"
#include "tests/resources/OwnResource.h"

namespace {

const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const int kWidth = 400;
const int kHeight = 300;
const size_t kPixelsAt = sizeof(BITMAPINFOHEADER);
const size_t kExpectedSize = kPixelsAt + kWidth * kHeight * 2 + 2;

class SplashBitmap : public testing::Test {
protected:
    void SetUp() override {
        bytes_ = OwnResource(RT_BITMAP, IDB_SPLASH, kNeutral);
        ASSERT_EQ(bytes_.size(), kExpectedSize);
    }
    uint16_t Pixel(size_t index) const {
        return bytes_[kPixelsAt + 2 * index] | bytes_[kPixelsAt + 2 * index + 1] << 8;
    }

    std::vector<uint8_t> bytes_;
};

TEST(SplashBitmapResource, IsStoredOnlyInTheNeutralLanguage) {
    EXPECT_EQ(OwnResourceLanguages(RT_BITMAP, IDB_SPLASH), std::vector<WORD>{kNeutral});
}

TEST_F(SplashBitmap, HeaderDescribesA400By300BottomUp16BitPicture) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes_.data(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, kWidth);
    EXPECT_EQ(header.biHeight, kHeight);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 16);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biSizeImage, 0u);
    EXPECT_EQ(header.biXPelsPerMeter, 2834);
    EXPECT_EQ(header.biYPelsPerMeter, 2834);
    EXPECT_EQ(header.biClrUsed, 0u);
    EXPECT_EQ(header.biClrImportant, 0u);
}

TEST_F(SplashBitmap, EveryPixelLeavesTheTopBitClear) {
    size_t withTopBit = 0;
    for (size_t i = 0; i < kWidth * kHeight; ++i)
        withTopBit += (Pixel(i) & 0x8000) != 0;
    EXPECT_EQ(withTopBit, 0u);
}

TEST_F(SplashBitmap, EndsWithTwoZeroBytesAfterThePixels) {
    EXPECT_EQ(bytes_[kExpectedSize - 2], 0);
    EXPECT_EQ(bytes_[kExpectedSize - 1], 0);
}

TEST_F(SplashBitmap, IsAColourfulPictureNotAFlatFill) {
    std::set<uint16_t> colours;
    std::set<uint16_t> reds, greens, blues;
    for (size_t i = 0; i < kWidth * kHeight; ++i) {
        uint16_t p = Pixel(i);
        colours.insert(p);
        reds.insert(p >> 10 & 0x1F);
        greens.insert(p >> 5 & 0x1F);
        blues.insert(p & 0x1F);
    }
    EXPECT_GT(colours.size(), 500u);
    EXPECT_GT(reds.size(), 16u);
    EXPECT_GT(greens.size(), 16u);
    EXPECT_GT(blues.size(), 16u);
}

TEST(SplashBitmapResource, LoadsAsA400By300Bitmap) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, kWidth);
    EXPECT_EQ(info.bmHeight, kHeight);
    DeleteObject(bitmap);
}

}  // namespace
