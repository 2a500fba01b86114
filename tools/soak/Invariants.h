// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// What must hold between any two events, whatever happened before: each rule
// has a name, printed when it fails, and a test over the form's state and its
// pictures.
#pragma once

#include "shell/Velmiaunit1.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmia::soak {

// Size and pixel format of every private picture right after start-up.
struct PictureShape {
    const char* name;
    const std::unique_ptr<vcl::TBitmap>* slot; // where the form keeps it
    int width = 0, height = 0;
    vcl::TPixelFormat format = vcl::pf24bit;
    bool present = false;
};

class Baseline {
public:
    // Records the shapes of the form's pictures as start-up left them.
    explicit Baseline(const TSvelmia& form);
    const std::vector<PictureShape>& Shapes() const { return shapes_; }

private:
    std::vector<PictureShape> shapes_;
};

struct Probe {
    TSvelmia& form;
    const Baseline& baseline;
    const vcl::TBitmap& window; // the composed window picture
};

struct Invariant {
    const char* name;
    // Empty when the rule holds, else what is wrong.
    std::function<std::string(const Probe&)> check;
};

const std::vector<Invariant>& Invariants();

// The names of the invariants that fail, each with its detail.
std::vector<std::pair<std::string, std::string>> CheckInvariants(const Probe& probe);

} // namespace velmia::soak
