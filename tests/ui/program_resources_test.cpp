#include "ui/qt/program_resources.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QtEndian>

namespace {

QByteArray ResourceBytes(const char* path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

TEST(ProgramResourcesTest, IconAndSplashPictureHaveTheirSizesAndFormats) {
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    const QByteArray ico = ResourceBytes(":/parrot/parrot.ico");
    ASSERT_GE(ico.size(), 6 + 2 * 16);
    for (const int entry : {6, 22}) EXPECT_EQ(static_cast<unsigned char>(ico[entry + 2]), 16) << "colours";

    EXPECT_EQ(SplashPicture().size(), QSize(185, 257));
    const QByteArray bmp = ResourceBytes(":/parrot/splash.bmp");
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<std::uint16_t>(bmp.constData() + 28), 8);   // bits per pixel
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(bmp.constData() + 30), 0u);  // no compression
}

}  // namespace
