// Saving the user's work: the scene list (key d) and the main figure's
// costume (key s), each as a bitmap file the program can load again. The
// toolkit writes atomically, so a failed save leaves the file that was there
// before untouched; the failure is reported in a message box naming the path
// and the reason.
#include "shell/Velmiaunit1.h"

#include <exception>
#include <string>

using namespace vcl;

namespace {

bool SavePicture(TSavePictureDialog* dialog, const std::string& initialName, const TBitmap& picture)
{
    dialog->SetFileName(initialName);
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
        Application->ShowException(EFileError("The picture could not be saved to \"" + path + "\": " + reason));
        return false;
    }
}

} // namespace

bool TSvelmia::SaveSceneList()
{
    return SavePicture(SavePictureDialog1, "vlm_scenelist", *SceneList->GetBitmap());
}

// Proposes the costume file the main figure loaded last, so that load,
// recolour, save writes back over the same file unless the user picks another
// name; the picture keeps the size, depth and palette of that file.
bool TSvelmia::SaveCostume()
{
    return SavePicture(SavePictureDialog2, CostumeFileName, *CostumePicture);
}
