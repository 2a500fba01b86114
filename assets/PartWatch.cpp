// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The part authors' reload (velmia --watch): a part file that changes on disk
// while a figure wears it is read again and put in place as the key commands
// and the browser put it, so an edit shows without a restart.
#include "shell/PartFolder.h"
#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <algorithm>
#include <sys/stat.h>

using namespace vcl;

TSvelmia::FileStamp TSvelmia::StampOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {true, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, int64_t(st.st_size),
            uint64_t(st.st_ino), uint64_t(st.st_dev)};
}

// The stamp is only taken while watching: without --watch nothing looks at it.
void TSvelmia::RememberWornFile(PartKind kind, Figure figure, const std::string& path)
{
    const int slot = kind - kPartCostume;
    if (slot < 0 || slot >= kWornKinds)
        return;
    wornFiles_[size_t(figure)][size_t(slot)] = {path, watchPartFiles_ ? StampOf(path) : FileStamp{}};
}

void TSvelmia::WatchTimerTimer(TObject* /*Sender*/)
{
    if (Busy || BrowserOpen || !(PortraitMode || ShowMode))
        return; // looked at again when the pictures are free
    std::vector<std::string> paths;
    for (const SelectionSet set : {SelectionSet::Main, SelectionSet::Left})
        for (const WornFile& worn : wornFiles_[size_t(set)])
            if (!worn.path.empty() && std::find(paths.begin(), paths.end(), worn.path) == paths.end())
                paths.push_back(worn.path);

    bool reloaded = false;
    for (const std::string& path : paths) {
        auto it = std::find_if(watched_.begin(), watched_.end(), [&](const auto& w) { return w.first == path; });
        if (it == watched_.end())
            it = watched_.insert(watched_.end(), {path, WatchedFile{}});
        WatchedFile& watched = it->second;
        const FileStamp now = StampOf(path);
        const bool settled = now == watched.seen; // unchanged since the last look
        watched.seen = now;
        if (!settled || !now.exists || now == watched.refused)
            continue;
        bool stale = false;
        for (const SelectionSet set : {SelectionSet::Main, SelectionSet::Left})
            for (const WornFile& worn : wornFiles_[size_t(set)])
                stale = stale || (worn.path == path && worn.read != now);
        if (stale)
            reloaded = ReloadWornFile(path, now, watched) || reloaded;
    }
    if (reloaded) {
        StepBackCounters();
        RequestRedraw(); // the next tick recomposes with the new pictures
    }
}

bool TSvelmia::ReloadWornFile(const std::string& path, const FileStamp& now, WatchedFile& watched)
{
    const Timer1Pause pause(*this);
    const BusyHold busy(*this);
    TBitmap loaded;
    try {
        ReadBmpFile(path, loaded);
    } catch (const std::exception& e) {
        // Said once for this version of the file; the parts keep their pictures.
        watched.refused = now;
        const auto* bmp = dynamic_cast<const BmpError*>(&e);
        const std::string reason = bmp ? bmp->Reason() : e.what();
        WatchTimer->SetEnabled(false);
        Application->ShowNotice(
            vcl::Format(_("The part file \"%s\" in the folder \"%s\" changed and cannot be used, so the "
                          "part keeps its picture: %s"),
                        path, velmia::shell::CurrentFolderName(), reason));
        WatchTimer->SetEnabled(true);
        return false;
    }
    for (const SelectionSet set : {SelectionSet::Main, SelectionSet::Left})
        for (int slot = 0; slot < kWornKinds; ++slot) {
            WornFile& worn = wornFiles_[size_t(set)][size_t(slot)];
            if (worn.path != path || worn.read == now)
                continue;
            TBitmap picture;
            picture.Assign(loaded);
            PlacePartPicture(PartKind(kPartCostume + slot), set == SelectionSet::Left, picture);
            worn.read = now;
        }
    watched.refused = {};
    return true;
}
