// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "shell/PartFolder.h"

#include "toolkit/Intl.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace velmia::shell {

namespace {

// Start-up reads these before anything else; without any one of them it stops.
constexpr std::array<const char*, size_t(Required::Count)> kRequired = {"vlm_scene_strawberry_upper.bmp",
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

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool IsPicture(const fs::directory_entry& entry)
{
    std::error_code ec;
    return entry.is_regular_file(ec) && Lower(entry.path().extension().string()) == ".bmp";
}

void CopyOne(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    const fs::path part = target.parent_path() / ("." + target.filename().string() + ".part");
    fs::remove(part, ec);
    if (!fs::copy_file(source, part, fs::copy_options::overwrite_existing, ec) || ec) {
        fs::remove(part, ec);
        throw std::runtime_error(vcl::Format(_("cannot copy \"%s\" to \"%s\""), source.string(), target.string()));
    }
    // A file of that name that appeared meanwhile is kept.
    if (fs::exists(target, ec)) {
        fs::remove(part, ec);
        return;
    }
    fs::rename(part, target, ec);
    if (ec) {
        fs::remove(part, ec);
        throw std::runtime_error(vcl::Format(_("cannot write \"%s\": %s"), target.string(), ec.message()));
    }
}

} // namespace

std::span<const char* const> RequiredPictures()
{
    return kRequired;
}

const char* RequiredPicture(Required picture)
{
    return kRequired[size_t(picture)];
}

PictureSet RequiredPicturesIn(const fs::path& folder)
{
    std::set<std::string> stems;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        stems.insert(Lower(it->path().stem().string()));
    size_t found = 0;
    for (const char* name : kRequired)
        found += stems.count(Lower(fs::path(name).stem().string()));
    if (found == 0)
        return PictureSet::None;
    return found == kRequired.size() ? PictureSet::All : PictureSet::Some;
}

std::optional<fs::path> UserPartFolder(const char* xdgDataHome, const char* home)
{
    if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "velmia";
    if (home && *home)
        return fs::path(home) / ".local" / "share" / "velmia";
    return std::nullopt;
}

std::optional<fs::path> InstalledPictures(const fs::path& executable)
{
#ifdef VELMIA_DATA_FROM_BIN
    const fs::path folder = (executable.parent_path() / VELMIA_DATA_FROM_BIN).lexically_normal();
#else
    const fs::path folder = (executable.parent_path() / "../share/velmia").lexically_normal();
#endif
    std::error_code ec;
    if (executable.empty() || !fs::is_directory(folder, ec))
        return std::nullopt;
    for (const char* name : kRequired)
        if (!fs::is_regular_file(folder / name, ec))
            return std::nullopt;
    return folder;
}

int CopyDefaultPictures(const fs::path& from, const fs::path& to)
{
    int copied = 0;
    for (const fs::path& source : {from, from / "extra"}) {
        std::error_code ec;
        if (!fs::is_directory(source, ec))
            continue;
        std::vector<fs::path> files;
        for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec))
            if (IsPicture(*it))
                files.push_back(it->path());
        if (ec)
            throw std::runtime_error(
                vcl::Format(_("cannot read the folder \"%s\": %s"), source.string(), ec.message()));
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            const fs::path target = to / file.filename();
            if (fs::exists(fs::symlink_status(target, ec)))
                continue;
            CopyOne(file, target);
            ++copied;
        }
    }
    return copied;
}

std::optional<fs::path> ChooseRunFolder(const fs::path& current, const std::optional<fs::path>& installed,
                                        const std::optional<fs::path>& user)
{
    if (!installed || !user || RequiredPicturesIn(current) != PictureSet::None)
        return std::nullopt;
    try {
        std::error_code ec;
        fs::create_directories(*user, ec);
        if (ec || !fs::is_directory(*user))
            throw std::runtime_error(ec ? ec.message() : _("it is not a folder"));
        // A complete folder is left as the user keeps it; an incomplete one
        // gets the missing defaults back.
        if (RequiredPicturesIn(*user) != PictureSet::All)
            CopyDefaultPictures(*installed, *user);
    } catch (const std::exception& e) {
        throw std::runtime_error(
            vcl::Format(_("Cannot start: the part folder \"%s\" cannot be made ready: %s"), user->string(), e.what()));
    }
    return *user;
}

WorkingFolder CurrentWorkingFolder()
{
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (!ec)
        return {current, true};
    // A removed folder has no path any more; the system's link to it still
    // shows the one it had, marked as deleted.
    fs::path gone = fs::read_symlink("/proc/self/cwd", ec);
    if (ec)
        return {};
    std::string text = gone.string();
    const std::string mark = " (deleted)";
    if (text.size() > mark.size() && text.compare(text.size() - mark.size(), mark.size(), mark) == 0)
        text.erase(text.size() - mark.size());
    return {fs::path(text), false};
}

std::string CurrentFolderName()
{
    std::error_code ec;
    const fs::path folder = fs::current_path(ec);
    return ec ? std::string(_("the current folder")) : folder.string();
}

std::optional<fs::path> HomeFolder()
{
    const char* home = std::getenv("HOME");
    std::error_code ec;
    if (!home || *home != '/' || !fs::is_directory(home, ec))
        return std::nullopt;
    return fs::path(home);
}

void EnterRunFolder(const char* argv0)
{
    std::error_code ec;
    fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 && *argv0)
        executable = fs::absolute(argv0, ec);
    const fs::path current = fs::current_path(ec);
    if (ec)
        return;
    const auto folder = ChooseRunFolder(current, InstalledPictures(executable),
                                        UserPartFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    if (folder) {
        fs::current_path(*folder, ec);
        if (ec)
            throw std::runtime_error(vcl::Format(_("Cannot start: cannot enter the part folder \"%s\": %s"),
                                                 folder->string(), ec.message()));
    }
}

} // namespace velmia::shell
