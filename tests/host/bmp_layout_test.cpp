#include "main/shell/bmp_layout.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(Bmp24Layout, RowsArePaddedToFourBytes) {
    struct Case {
        int width;
        std::uint32_t stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {37, 112}, {1024, 3072}};
    for (const auto& c : cases) {
        const auto layout = Bmp24Layout(c.width, 1);
        ASSERT_TRUE(layout) << c.width;
        EXPECT_EQ(layout->rowStride, c.stride) << c.width;
    }
}

TEST(Bmp24Layout, HeadersThenPixels) {
    const auto layout = Bmp24Layout(37, 23);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pixelOffset, 54u);
    EXPECT_EQ(layout->imageSize, 112u * 23u);
    EXPECT_EQ(layout->fileSize, 54u + 112u * 23u);
}

TEST(Bmp24Layout, EmptyNegativeAndHugeSizesAreRefused) {
    EXPECT_FALSE(Bmp24Layout(0, 10));
    EXPECT_FALSE(Bmp24Layout(10, 0));
    EXPECT_FALSE(Bmp24Layout(-5, 10));
    EXPECT_FALSE(Bmp24Layout(10, -5));
    EXPECT_FALSE(Bmp24Layout(0x7fffffff, 0x7fffffff));
    EXPECT_FALSE(Bmp24Layout(INT64_MAX, 1));
    EXPECT_FALSE(Bmp24Layout(1, INT64_MAX));
    EXPECT_FALSE(Bmp24Layout(100000, 100000));
    // The limit itself is allowed, one row more is not.
    EXPECT_TRUE(Bmp24Layout(1024, 1024, 3072u * 1024u));
    EXPECT_FALSE(Bmp24Layout(1024, 1025, 3072u * 1024u));
    EXPECT_TRUE(Bmp24Layout(8192, 8192));  // 192 MB of pixels
}
