#include "main/shell/bmp_layout.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(Bmp24Layout, RowsArePaddedToFourBytesAfterTheHeaders) {
    EXPECT_EQ(Bmp24Layout(1, 1)->rowStride, 4u);
    EXPECT_EQ(Bmp24Layout(4, 1)->rowStride, 12u);
    const auto layout = Bmp24Layout(37, 23);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->rowStride, 112u);
    EXPECT_EQ(layout->pixelOffset, 54u);
    EXPECT_EQ(layout->fileSize, 54u + 112u * 23u);
}

TEST(Bmp24Layout, EmptyNegativeAndHugeSizesAreRefused) {
    EXPECT_FALSE(Bmp24Layout(0, 10));
    EXPECT_FALSE(Bmp24Layout(10, -5));
    EXPECT_FALSE(Bmp24Layout(INT64_MAX, 1));
    EXPECT_FALSE(Bmp24Layout(0x7fffffff, 0x7fffffff));
    EXPECT_FALSE(Bmp24Layout(100000, 100000));
    EXPECT_TRUE(Bmp24Layout(1024, 1024, 3072u * 1024u));  // the limit itself
    EXPECT_FALSE(Bmp24Layout(1024, 1025, 3072u * 1024u));
}
