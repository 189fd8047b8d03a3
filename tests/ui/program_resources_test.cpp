#include "ui/qt/program_resources.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

std::uint16_t Word(const QByteArray& data, int at) {
    return qFromLittleEndian<std::uint16_t>(data.constData() + at);
}

std::uint32_t DoubleWord(const QByteArray& data, int at) {
    return qFromLittleEndian<std::uint32_t>(data.constData() + at);
}

QByteArray ResourceBytes(const char* path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

TEST(ProgramResourcesTest, IconHas32And16PixelImagesOf16Colours) {
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));

    const QByteArray ico = ResourceBytes(":/parrot/parrot.ico");
    ASSERT_GE(ico.size(), 6 + 2 * 16);
    EXPECT_EQ(Word(ico, 2), 1);  // an icon, not a cursor
    ASSERT_EQ(Word(ico, 4), 2);
    for (int entry = 0; entry < 2; ++entry) {
        const int at = 6 + entry * 16;
        EXPECT_EQ(static_cast<unsigned char>(ico[at]), entry == 0 ? 32 : 16);
        EXPECT_EQ(static_cast<unsigned char>(ico[at + 2]), 16);  // colours
        EXPECT_EQ(Word(ico, at + 6), 4);                         // bits per pixel
        const std::uint32_t offset = DoubleWord(ico, at + 12);
        ASSERT_LT(offset + 40, static_cast<std::uint32_t>(ico.size()));
        EXPECT_EQ(Word(ico, offset + 14), 4);
    }
}

TEST(ProgramResourcesTest, SplashPictureIsAnUncompressedPalettedBitmap) {
    EXPECT_EQ(SplashPicture().size(), QSize(185, 257));

    const QByteArray bmp = ResourceBytes(":/parrot/splash.bmp");
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(DoubleWord(bmp, 18), 185u);
    EXPECT_EQ(DoubleWord(bmp, 22), 257u);
    EXPECT_EQ(Word(bmp, 28), 8);          // bits per pixel
    EXPECT_EQ(DoubleWord(bmp, 30), 0u);   // no compression
    EXPECT_EQ(DoubleWord(bmp, 46), 256u); // palette entries
    const std::uint32_t rowBytes = 188;   // 185 rounded up to whole 32-bit words
    EXPECT_EQ(DoubleWord(bmp, 10), 14u + 40u + 256u * 4u);
    EXPECT_EQ(static_cast<std::uint32_t>(bmp.size()), DoubleWord(bmp, 10) + rowBytes * 257u);
}

}  // namespace
