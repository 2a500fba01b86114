// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-screenshot: the pictures of the README, made from the default
// pictures by the program itself on the headless platform.
//
//   velmia-screenshot RUN_DIR OUT_DIR
//
// writes OUT_DIR/portrait.png (the portrait a few seconds after start) and
// OUT_DIR/scene-show.png (the two figures of the scene show).
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"

#include <QImage>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

bool SavePng(velmia::headless::HeadlessHost& host, const std::filesystem::path& path)
{
    const vcl::TBitmap& window = host.WindowPicture();
    QImage image(window.GetWidth(), window.GetHeight(), QImage::Format_RGB32);
    for (int y = 0; y < window.GetHeight(); ++y)
        for (int x = 0; x < window.GetWidth(); ++x) {
            const vcl::TColor c = window.GetPixelColor(x, y); // 0x00BBGGRR
            image.setPixel(x, y, qRgb(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff));
        }
    return image.save(QString::fromStdString(path.string()), "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmia-screenshot RUN_DIR OUT_DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    try {
        const fs::path out = fs::absolute(argv[2]);
        fs::create_directories(out);
        fs::current_path(argv[1]);

        velmia::headless::HeadlessHost host;
        host.SetScreenSize(1024, 768);
        auto* form = host.StartForm<TSvelmia>();
        if (host.StartupFailed()) {
            const auto& boxes = host.MessageBoxes();
            std::fprintf(stderr, "velmia-screenshot: start-up failed: %s\n",
                         boxes.empty() ? "?" : boxes.back().Text.c_str());
            return 1;
        }
        // Two seconds of the portrait: the first cycle end composes the
        // first scene; the eyes are open between blinks.
        host.FireTimer(form->Timer1, 20);
        if (!SavePng(host, out / "portrait.png"))
            throw std::runtime_error("cannot write portrait.png");

        // q gives the show its left figure, w starts it; a few ticks later
        // both figures stand in the scene.
        host.TypeChar('q');
        host.TypeChar('w');
        host.FireTimer(form->Timer1, 12);
        if (!SavePng(host, out / "scene-show.png"))
            throw std::runtime_error("cannot write scene-show.png");
        host.CloseWindow();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmia-screenshot: %s\n", e.what());
        return 1;
    }
    return 0;
}
