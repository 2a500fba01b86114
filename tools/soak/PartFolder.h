// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The folder the driven program runs in: a private copy of the default
// pictures plus, for every kind of loadable part, files that differ from the
// default in the ways users' files do, and the reference pictures the paired
// checks compare them with.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmia::soak {

// The variants made of each part file "vlm_<k>.bmp" (suffixes of the new names).
enum class Variant { Default, Extra, Smaller, Larger, Paletted, Unreadable, Count };
const char* VariantName(Variant v);

struct PartKind {
    const char* key;      // "co", "ca", ...
    const char* baseFile; // the default picture of the kind
};
// Costume, camisole, hairband, flower, ribbon, choker, scene list.
const std::vector<PartKind>& PartKinds();

class PartFolder {
public:
    // Makes a new temporary folder, copies every vlm_*.bmp of `artwork` into
    // it and writes the variants, the references and a "saves" subfolder.
    // Throws on failure.
    explicit PartFolder(const std::filesystem::path& artwork);
    ~PartFolder();
    PartFolder(const PartFolder&) = delete;
    PartFolder& operator=(const PartFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Name (relative to the folder) of a variant of a kind.
    static std::string VariantFile(const PartKind& kind, Variant v);
    // The picture that must give the same window as the variant: the smaller
    // file padded with white, the larger one cropped, the paletted one as
    // 24 bits. Empty for the other variants.
    static std::string ReferenceFile(const PartKind& kind, Variant v);

    // Copies of the default choker beside the variants ("vlm_chz11.bmp", ...):
    // with them the choker browser fills three pages.
    static constexpr int kPagingChokers = 24;

    // Save targets: writable ones, and ones that fail even for root.
    static std::vector<std::string> WritableSaves();
    static std::vector<std::string> UnwritableSaves();

private:
    void MakeVariants(const PartKind& kind);

    std::filesystem::path path_;
};

} // namespace velmia::soak
