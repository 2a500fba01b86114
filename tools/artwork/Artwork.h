// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The default picture set: every part file, the embedded pictures, and a small
// compositor that lays them out the way the program does, for the grey
// pictures and the contact sheet.
#pragma once

#include "tools/artwork/Master.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QVector>
#include <vector>

namespace artwork {

// An output picture and the depth it is stored in. 24-bit pictures are
// RGB32 images; 8-bit ones Grayscale8; 4- and 1-bit ones Indexed8 with their
// palette (16 and 2 entries).
struct Picture {
    QImage image;
    int bits = 24;
};

struct Set {
    QMap<QString, Picture> files;    // default files, by file name
    QMap<QString, Picture> extras;   // extra part files, by file name
    QMap<QString, Picture> embedded; // embedded pictures, by control name
};

Set BuildSet(const Master& master, const QString& version);

// One composed portrait (800 x 600).
struct Look {
    enum Hair { Standard, Long, Shaggy, Pank, Otohime };
    Hair hair = Standard;
    int scene = 0;         // 0 strawberry, 1..10 tiles, -1 plain white
    bool altPhase = false; // which half of the strawberry pictures
    int face = 0;
    bool eyesClosed = false;
    bool hairband = true;
    int earring = 0;  // -1 none
    int earframe = 0; // -1 none
    bool flowerHair = false;
    bool flowerChest = false;
    bool choker = false;
    bool ribbon = true;
    int bracelet = 0; // -1 none
    bool camisole = false;
    int strings = 0;    // 0 single, 1 thick, 2 W, 3 cross, 4 none
    int frame = 0;      // body frame 0..2
    bool night = false; // night picture and a star, as when panned in scene 7
    QString costume = QStringLiteral("vlm_co.bmp");
    QString camisoleFile = QStringLiteral("vlm_ca.bmp");
    QString ribbonFile = QStringLiteral("vlm_ri.bmp");
    QString flowerFile = QStringLiteral("vlm_fl.bmp");
    QString hairbandFile = QStringLiteral("vlm_hb.bmp");
    QString chokerFile = QStringLiteral("vlm_ch.bmp");
};

QImage Compose(const Set& set, const Look& look);

// The looks the contact sheet shows, with their labels.
struct SheetEntry {
    QString label;
    Look look;
};
std::vector<SheetEntry> SheetEntries(const Set& set);

QImage ContactSheet(const Set& set);

// Writes the set: files into runDir, extras into extraDir, the embedded
// pictures as BMP files plus a C++ source into genDir.
void WriteSet(const Set& set, const QString& runDir, const QString& extraDir, const QString& genDir);

} // namespace artwork
