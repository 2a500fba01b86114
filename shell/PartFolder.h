// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The folder the program runs in. Started from a folder that holds the
// required pictures, it runs there, as always. Started from one that holds
// none of them (the home folder, when started from the desktop menu) and
// installed with its default pictures, it runs in the user's part folder,
// $XDG_DATA_HOME/velmia (~/.local/share/velmia), which it creates and fills
// with the installed pictures on first use. A folder with only some of the
// required pictures is left to start-up, which names the missing file.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace velmia::shell {

// The pictures start-up cannot do without, in the order it reads them.
enum class Required : size_t {
    StrawberryUpper,
    StrawberryLower,
    SceneList,
    MainHair,
    HairSubUp,
    Costume,
    Camisole,
    EarringList,
    StringPattern,
    ThickStringPattern,
    CrossStringPattern,
    WStringPattern,
    Ribbon,
    HairBand,
    Flower,
    Choker,
    Bracelet,
    LongHairLeft,
    FaceList,
    LargeFaceList,
    Count
};

// Their file names, in that order, and the file name of one of them.
std::span<const char* const> RequiredPictures();
const char* RequiredPicture(Required picture);

enum class PictureSet { None, Some, All };

// How many of the required pictures `folder` holds. A picture counts when a
// file of its name is there, whatever its extension; an unreadable folder
// holds none.
PictureSet RequiredPicturesIn(const std::filesystem::path& folder);

// $XDG_DATA_HOME/velmia when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/velmia; nullopt when neither is set.
std::optional<std::filesystem::path> UserPartFolder(const char* xdgDataHome, const char* home);

// The installed default pictures beside `executable` (games/velmia ->
// share/velmia), when that folder holds every required picture.
std::optional<std::filesystem::path> InstalledPictures(const std::filesystem::path& executable);

// Copies every picture file (*.bmp) of `from` and of its "extra" folder into
// `to`, never replacing a file that is there. Each file is written under a
// temporary name first, so an interrupted copy leaves no half file behind.
// Returns how many files it copied; throws std::runtime_error naming the file
// on failure.
int CopyDefaultPictures(const std::filesystem::path& from, const std::filesystem::path& to);

// The folder to run in, or nullopt to stay in `current`. Creates and fills
// the user folder as described above; throws std::runtime_error with a
// message naming the folder when it cannot.
std::optional<std::filesystem::path> ChooseRunFolder(const std::filesystem::path& current,
                                                     const std::optional<std::filesystem::path>& installed,
                                                     const std::optional<std::filesystem::path>& user);

// The folder the program works in. `exists` is false when that folder was
// removed while the program runs; `path` is then the path it had, as the
// system still tells it (empty when the system does not).
struct WorkingFolder {
    std::filesystem::path path;
    bool exists = false;
};
WorkingFolder CurrentWorkingFolder();

// The folder the program works in, as a message names it.
std::string CurrentFolderName();

// The user's home folder ($HOME), when it is an existing folder.
std::optional<std::filesystem::path> HomeFolder();

// What the program entry calls: chooses the folder for the running program
// (found from /proc/self/exe, else `argv0`) and this user's environment, and
// makes it the current folder.
void EnterRunFolder(const char* argv0);

} // namespace velmia::shell
