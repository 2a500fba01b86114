// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tests/program/ProgramFixture.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace velmia::test {

const char* const kRequiredFiles[20] = {"vlm_scene_strawberry_upper.bmp",
                                        "vlm_scene_strawberry_lower.bmp",
                                        "vlm_scene_list.bmp",
                                        "vlm_0_main_hair.bmp",
                                        "vlm_0_hair_sub_up.bmp",
                                        "vlm_co.bmp",
                                        "vlm_ca.bmp",
                                        "vlm_earring_list.bmp",
                                        "vlm_string_pattern_list.bmp",
                                        "vlm_thickstring_pattern.bmp",
                                        "vlm_crossstring_pattern.bmp",
                                        "vlm_wstring_pattern.bmp",
                                        "vlm_ri.bmp",
                                        "vlm_hb.bmp",
                                        "vlm_fl.bmp",
                                        "vlm_ch.bmp",
                                        "vlm_bracelet.bmp",
                                        "vlm_0_main_hair_longleft.bmp",
                                        "vlm_facelist.bmp",
                                        "vlm_facelist_lg.bmp"};

const char* const kOptionalFiles[7] = {"vlm_earring_framelist.bmp", "vlm_shaggy.bmp",     "vlm_pank.bmp",
                                       "vlm_otohime.bmp",           "vlm_background.bmp", "vlm_streaming.bmp",
                                       "vlm_starlist.bmp"};

void ProgramTest::SetUp()
{
    const fs::path art = ArtworkDir();
    for (const char* name : kRequiredFiles)
        if (!fs::exists(art / name))
            GTEST_FAIL() << "default artwork not built (" << (art / name).string() << " missing)";

    folder_ = CopyArtwork(art, "velmia-program");
    previous_ = fs::current_path();
    fs::current_path(folder_);
}

void ProgramTest::TearDown()
{
    if (folder_.empty())
        return;
    fs::current_path(previous_);
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void ProgramTest::RemoveFile(const std::string& name)
{
    ASSERT_TRUE(fs::remove(folder_ / name)) << name;
}

void ProgramTest::WritePicture(const std::string& name, int width, int height, vcl::TColor colour)
{
    vcl::TBitmap picture(width, height, vcl::pf24bit);
    picture.GetCanvas()->Brush.Color = colour;
    picture.GetCanvas()->FillRect(vcl::Rect(0, 0, width, height));
    vcl::WriteBmpFile((folder_ / name).string(), picture);
}

TSvelmia* ProgramTest::Start()
{
    return host_.StartForm<TSvelmia>();
}

} // namespace velmia::test
