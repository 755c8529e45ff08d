// Stretching and colour keys of plain pixel arrays.
#include <gtest/gtest.h>

#include <vector>

#include "controls/PictureScaler.h"

namespace {

TEST(PictureScaler, BlendWeighsByPositionAndAlpha)
{
    EXPECT_EQ(0xFF102030u, BlendArgb(0xFF102030u, 0xFFF0E0D0u, 0));
    EXPECT_EQ(0xFFF0E0D0u, BlendArgb(0xFF102030u, 0xFFF0E0D0u, 255));
    EXPECT_EQ(0xFF808080u, BlendArgb(0xFF000000u, 0xFFFFFFFFu, 128));
    // A transparent neighbour lowers the alpha but not the colour.
    EXPECT_EQ(0x80FF0000u, BlendArgb(0xFFFF0000u, 0, 127));
    EXPECT_EQ(0u, BlendArgb(0, 0, 100));
    EXPECT_EQ(0u, BlendArgb(0xFFFFFFFFu, 0, 255));
}

TEST(PictureScaler, SameSizeCopiesAndEnlargingInterpolates)
{
    std::vector<uint32_t> src = { 0xFF000000u, 0xFFFF0000u, 0xFF0000FFu, 0xFFFFFFFFu };
    std::vector<uint32_t> same(4);
    StretchArgb(src.data(), 2, 2, same.data(), 2, 2);
    EXPECT_EQ(src, same);

    std::vector<uint32_t> big(16);
    StretchArgb(src.data(), 2, 2, big.data(), 4, 4);
    EXPECT_EQ(0xFF000000u, big[0]);               // on a source pixel
    EXPECT_EQ(0xFF800000u, big[1]);  // halfway black to red
    EXPECT_EQ(0xFFFF0000u, big[2]);
    EXPECT_EQ(0x7FFF0000u, big[3]);  // halfway past the right edge
    EXPECT_EQ(0xFF000080u, big[4]);  // halfway black to blue
    EXPECT_EQ(0x3FFFFFFFu, big[15]); // the corner fades both ways
}

TEST(PictureScaler, ShrinkingSamplesAtEveryStep)
{
    std::vector<uint32_t> src(8);
    for (int i = 0; i < 8; ++i)
        src[i] = 0xFF000000u | (uint32_t)(i * 30);
    std::vector<uint32_t> small(4);
    StretchArgb(src.data(), 8, 1, small.data(), 4, 1);
    EXPECT_EQ(0xFF000000u, small[0]);
    EXPECT_EQ(0xFF00003Cu, small[1]);
    EXPECT_EQ(0xFF000078u, small[2]);
    EXPECT_EQ(0xFF0000B4u, small[3]);
}

TEST(PictureScaler, ColourKeyClearsOnlyPixelsAtOrAboveTheKey)
{
    std::vector<uint32_t> px = { 0xFFC8C8C8u, 0xFFC7C8C8u, 0xFFFFFFFFu, 0xFFC8FFC7u,
                                 0xFF000000u, 0x00E0E0E0u };
    ApplyColorKey(px.data(), (int)px.size(), 0xC8C8C8u);
    std::vector<uint32_t> want = { 0, 0xFFC7C8C8u, 0, 0xFFC8FFC7u, 0xFF000000u, 0 };
    EXPECT_EQ(want, px);
}

TEST(PictureScaler, EmptySizesLeaveTheDestinationAlone)
{
    std::vector<uint32_t> src = { 0xFF123456u };
    std::vector<uint32_t> dst = { 7u };
    StretchArgb(src.data(), 1, 1, dst.data(), 0, 1);
    StretchArgb(src.data(), 0, 1, dst.data(), 1, 1);
    EXPECT_EQ(7u, dst[0]);
}

}  // namespace
