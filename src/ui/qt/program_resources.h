#pragma once
// The program's pictures, built into the program from resources/.

#include <QIcon>
#include <QPixmap>

// Icon 128: the program icon, with its 32×32 and 16×16 images.
QIcon ProgramIcon();

// Bitmap 129: the splash picture, 185×257 pixels.
QPixmap SplashPicture();
