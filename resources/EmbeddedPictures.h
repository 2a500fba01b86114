// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Pictures compiled into the program (the ones that are not read from files).
// Each is kept as the bytes of a BMP file and decoded with the toolkit's codec.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmia::resources {

// The BMP bytes embedded for the image control named `control` (for example
// "mainsave" or "logo"); an empty span when that control carries no picture.
std::span<const uint8_t> EmbeddedPictureData(std::string_view control);

// The names of every control that carries an embedded picture.
std::vector<std::string_view> EmbeddedPictureNames();

} // namespace velmia::resources
