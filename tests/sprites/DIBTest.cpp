#include <gtest/gtest.h>

#include "sprites/DIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

namespace {

TEST(DIBTest, CreatedImageSavesAndReadsBackWithTheSameBytes) {
    MessageRecorder messages;
    TempDir dir;
    CDIB image = MakeDib(5, 3, RGB(10, 20, 30));
    SetPixel(image, 4, 0, RGB(200, 100, 50));
    ASSERT_TRUE(image.Save(dir.File("a.bmp").c_str()));
    const auto bytes = ReadFileBytes(dir.File("a.bmp"));
    EXPECT_EQ(bytes.size(), 54u + 3u * 16u);

    CDIB back;
    ASSERT_TRUE(back.Load(dir.File("a.bmp").c_str()));
    EXPECT_EQ(back.GetWidth(), 5);
    EXPECT_EQ(back.GetHeight(), 3);
    EXPECT_EQ(PixelAt(back, 4, 0), RGB(200, 100, 50));
    EXPECT_EQ(PixelAt(back, 0, 2), RGB(10, 20, 30));
    ASSERT_TRUE(back.Save(dir.File("b.bmp").c_str()));
    EXPECT_EQ(ReadFileBytes(dir.File("b.bmp")), bytes);
    EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
