// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Run with QT_SCALE_FACTOR=2: the 800 x 600 picture must be drawn with every
// pixel as a whole 2 x 2 block, no smoothing between neighbours.
#include "platform/qt/Placement.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmia::qt;
using namespace vcl;

TEST(HiDpi, WholeBlocksWithoutBlur)
{
    QtPlatform platform;
    SetPlatform(&platform);
    {
        TForm form;
        TImage* img = form.NewImage("canvas", 0, 0, 800, 600);
        TBitmap* bmp = img->GetBitmap();
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                bmp->SetPixelColor(x, y, (x + y) % 2 ? clBlack : clWhite);
        img->SetVisible(true);
        ApplyPlacement(form, PlaceMainWindow(1920, 1080));
        form.SetVisible(true);
        form.Repaint();
        FormWindow* w = platform.WindowOf(&form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        const qreal dpr = w->devicePixelRatio();
        ASSERT_EQ(dpr, 2.0);
        const QImage shot = w->grab().toImage();
        ASSERT_EQ(shot.size(), QSize(1600, 1200));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const QColor expected = ((x / 2) + (y / 2)) % 2 ? Qt::black : Qt::white;
                ASSERT_EQ(shot.pixelColor(x + 600, y + 400), expected) << x << "," << y;
            }
    }
    SetPlatform(nullptr);
}
