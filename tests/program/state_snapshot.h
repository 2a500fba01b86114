// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The whole portrait state as a list of named values: every member of
// PortraitState (array members element by element, pictures as a digest of
// their size, format and pixels), plus the part images and the visibility of
// the overlay images of the form. Two snapshots compared name by name show
// everything a step changed, so a test can say what must change and catch
// every change it did not ask for.
#pragma once

#include "shell/Velmiaunit1.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velmia::test {

using Snapshot = std::map<std::string, std::string>;

// Without `pictures`, pictures are named by their size alone (much cheaper).
Snapshot TakeSnapshot(TSvelmia& form, bool pictures = true);

// The members of PortraitState the snapshot names (without array indices).
const std::vector<std::string>& SnapshotMembers();

// Sets a bool or integer member by name; false when there is no such member.
bool SetMember(PortraitState& state, const std::string& name, int64_t value);

// A digest of a picture's size, pixel format and pixel bytes.
uint64_t PixelDigest(const vcl::TBitmap* picture);

// The values that differ, as "name: before -> after" lines.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

} // namespace velmia::test
