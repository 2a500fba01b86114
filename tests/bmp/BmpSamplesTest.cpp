// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The reader against the generated samples: each well-formed one loads in its
// depth with exactly the pixels written into it, each damaged one is refused
// with its reason under its own name, and the randomly damaged ones are
// refused with a reason or load into a picture that survives a round trip.
#include "BmpSamples.h"

#include "BmpTestUtil.h"
#include "toolkit/BmpCodec.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using namespace bmptest;

TEST(BmpSamples, EachSampleIsReadAsItsClassRequires)
{
    std::map<Expect, int> seen;
    for (const Sample& s : Samples()) {
        SCOPED_TRACE(s.name);
        ++seen[s.expect];
        vcl::TBitmap b;
        try {
            vcl::DecodeBmp(s.bytes, b, s.name);
        } catch (const vcl::BmpError& e) {
            EXPECT_NE(s.expect, Expect::Load) << "refused: " << e.Reason();
            if (s.expect == Expect::Refuse) {
                EXPECT_NE(e.Reason().find(s.reason), std::string::npos) << e.Reason();
            }
            EXPECT_FALSE(e.Reason().empty());
            EXPECT_EQ(std::string(e.what()), s.name + ": " + e.Reason());
            continue;
        }
        EXPECT_NE(s.expect, Expect::Refuse) << "loaded as " << b.GetWidth() << " x " << b.GetHeight();
        ASSERT_FALSE(b.Empty());
        vcl::TBitmap again;
        vcl::DecodeBmp(vcl::EncodeBmp(b), again, "again");
        EXPECT_EQ(ToRgb(again), ToRgb(b)) << "round trip";
        if (s.expect != Expect::Load)
            continue;
        EXPECT_EQ(vcl::BitsPerPixel(b.GetPixelFormat()), s.bits);
        ASSERT_EQ(b.GetWidth(), s.width);
        ASSERT_EQ(b.GetHeight(), s.height);
        EXPECT_EQ(ToRgb(b), s.rgb);
    }
    EXPECT_GE(seen[Expect::Load], 50);
    EXPECT_GE(seen[Expect::Refuse], 50);
    EXPECT_GE(seen[Expect::Either], 500);
}

} // namespace
