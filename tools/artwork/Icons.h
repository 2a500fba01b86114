// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The program's icon in the hicolor theme layout.
#pragma once

#include <QString>
#include <array>

namespace artwork {

constexpr std::array<int, 6> kIconSizes = {16, 32, 48, 64, 128, 256};

// Writes themeDir/scalable/apps/NAME.svg and themeDir/SxS/apps/NAME.png for
// every size. Throws std::runtime_error on failure.
void WriteIcons(const QString& masterPath, const QString& themeDir, const QString& name);

} // namespace artwork
