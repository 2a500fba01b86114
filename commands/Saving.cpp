// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Saving the user's work: the scene list (key d) and the main figure's
// costume (key s), each as a bitmap file the program can load again. The
// toolkit writes atomically, so a failed save leaves the file that was there
// before untouched; the failure is reported in a message box naming the path
// and the reason. A file that has no write permission is refused, not
// replaced.
//
// The dialog opens in the folder of the proposed file (the working folder for
// a bare name), and the name goes to it as the bytes it was found under, so
// that accepting the proposal writes over exactly that file.
#include "shell/PartFolder.h"
#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>

using namespace vcl;

namespace {

namespace fs = std::filesystem;

struct SavePlace {
    std::string folder; // where the dialog opens
    std::string name;   // the name it proposes
};

// Where the dialog for `proposal` opens. When the folder the proposal lives
// in no longer exists (removed while the program runs), the user is told so,
// by name, and the dialog opens in the working folder, or in the home folder
// when that is the one gone, proposing the bare name: it never opens at the
// top of the file system nor anywhere the user was not shown. With no folder
// left to offer, nothing is saved.
std::optional<SavePlace> ChooseSavePlace(const std::string& proposal)
{
    const velmia::shell::WorkingFolder work = velmia::shell::CurrentWorkingFolder();
    const fs::path given(proposal);
    const fs::path folder = given.is_absolute()       ? given.parent_path()
                            : given.has_parent_path() ? work.path / given.parent_path()
                                                      : work.path;
    std::error_code ec;
    if ((work.exists || given.is_absolute()) && fs::is_directory(folder, ec))
        return SavePlace{folder.lexically_normal().string(), proposal};

    const std::string where = folder.lexically_normal().string();
    const std::optional<fs::path> instead = work.exists ? std::optional(work.path) : velmia::shell::HomeFolder();
    if (!instead) {
        Application->ShowException(EFileError(
            folder.empty()
                ? _("The working folder no longer exists, and there is no home folder to save in instead: nothing was "
                    "saved.")
                : vcl::Format(_("The folder \"%s\" no longer exists, and there is no home folder to save in instead: "
                                "nothing was saved."),
                              where)));
        return std::nullopt;
    }
    Application->ShowException(EFileError(
        folder.empty()
            ? vcl::Format(_("The working folder no longer exists. Choose where to save the picture: the save "
                            "dialog opens in \"%s\"."),
                          instead->string())
            : vcl::Format(_("The folder \"%s\" no longer exists. Choose where to save the picture: the save "
                            "dialog opens in \"%s\"."),
                          where, instead->string())));
    return SavePlace{instead->string(), given.filename().string()};
}

bool SavePicture(TSavePictureDialog* dialog, const std::string& initialName, const TBitmap& picture)
{
    const std::optional<SavePlace> place = ChooseSavePlace(initialName);
    if (!place)
        return false;
    dialog->InitialDir = place->folder;
    dialog->SetFileName(place->name);
    if (!dialog->Execute())
        return false;
    const std::string path = dialog->GetFileName();
    try {
        picture.SaveToFile(path);
        return true;
    } catch (const std::exception& e) {
        // The toolkit's message starts with the path; say it once.
        std::string reason = e.what();
        if (reason.rfind(path + ": ", 0) == 0)
            reason.erase(0, path.size() + 2);
        Application->ShowException(
            EFileError(vcl::Format(_("The picture could not be saved to \"%s\": %s"), path, reason)));
        return false;
    }
}

} // namespace

bool TSvelmia::SaveSceneList(const KeyCommandRow& /*row*/)
{
    return SavePicture(SavePictureDialog1, "vlm_scenelist", *SceneList->GetBitmap());
}

// Proposes the costume file the main figure loaded last, so that load,
// recolour, save writes back over the same file unless the user picks another
// name; the picture keeps the size, depth and palette of that file.
bool TSvelmia::SaveCostume(const KeyCommandRow& /*row*/)
{
    return SavePicture(SavePictureDialog2, CostumeFileName, *CostumePicture);
}
