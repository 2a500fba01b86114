// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Saving the user's work: the scene list (key d) and the main figure's
// costume (key s), each as a bitmap file the program can load again. The
// toolkit writes atomically, so a failed save leaves the file that was there
// before untouched; the failure is reported in a message box naming the path
// and the reason. A file that has no write permission is refused, not
// replaced, and one with further names (hard links) keeps them.
//
// The program remembers every file it reads or writes as it was then. When
// another program has changed a file since (its size, its modification time,
// or the file itself was put in its place), a save over it asks first,
// naming the file, and replaces it only when the user says yes.
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
#include <sys/stat.h>

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
        Application->ShowNotice(
            folder.empty()
                ? _("The working folder no longer exists, and there is no home folder to save in instead: nothing was "
                    "saved.")
                : vcl::Format(_("The folder \"%s\" no longer exists, and there is no home folder to save in instead: "
                                "nothing was saved."),
                              where));
        return std::nullopt;
    }
    Application->ShowNotice(
        folder.empty()
            ? vcl::Format(_("The working folder no longer exists. Choose where to save the picture: the save "
                            "dialog opens in \"%s\"."),
                          instead->string())
            : vcl::Format(_("The folder \"%s\" no longer exists. Choose where to save the picture: the save "
                            "dialog opens in \"%s\"."),
                          where, instead->string()));
    return SavePlace{instead->string(), given.filename().string()};
}

// One name per file, whichever way the program was given it.
std::string KnownName(const std::string& path)
{
    std::error_code ec;
    fs::path name = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return (ec ? fs::absolute(path, ec).lexically_normal() : name).string();
}

} // namespace

void TSvelmia::RememberFile(const std::string& path)
{
    if (const FileStamp stamp = StampOf(path); stamp.exists)
        knownFiles_[KnownName(path)] = stamp;
    else
        knownFiles_.erase(KnownName(path));
}

bool TSvelmia::ChangedSinceKnown(const std::string& path) const
{
    const auto known = knownFiles_.find(KnownName(path));
    if (known == knownFiles_.end())
        return false;
    const FileStamp now = StampOf(path);
    return now.exists && !(now == known->second);
}

bool TSvelmia::SaveFile(TSavePictureDialog* dialog, const std::string& proposal, const TBitmap& picture)
{
    const std::optional<SavePlace> place = ChooseSavePlace(proposal);
    if (!place)
        return false;
    dialog->InitialDir = place->folder;
    dialog->SetFileName(place->name);
    if (!dialog->Execute())
        return false;
    const std::string path = dialog->GetFileName();
    if (ChangedSinceKnown(path) &&
        !Application->Confirm(vcl::Format(_("The file \"%s\" was changed by another program after this one read or "
                                            "wrote it. Replace it with this picture?"),
                                          path)))
        return false;
    try {
        picture.SaveToFile(path);
        RememberFile(path);
        return true;
    } catch (const std::exception& e) {
        // The message names the file once.
        const auto* file = dynamic_cast<const EFileError*>(&e);
        const std::string reason = file && file->Path() == path ? file->Reason() : e.what();
        Application->ShowNotice(vcl::Format(_("The picture could not be saved to \"%s\": %s"), path, reason));
        return false;
    }
}

bool TSvelmia::SaveSceneList(const KeyCommandRow& /*row*/)
{
    return SaveFile(SavePictureDialog1, "vlm_scenelist", *SceneList->GetBitmap());
}

// Proposes the file the main figure's costume came from, so that load,
// recolour, save writes back over the same file unless the user picks another
// name; the picture keeps the size, depth and palette of that file.
bool TSvelmia::SaveCostume(const KeyCommandRow& /*row*/)
{
    return SaveFile(SavePictureDialog2, CostumeFileName, *CostumePicture);
}
