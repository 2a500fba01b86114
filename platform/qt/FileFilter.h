// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// File dialog helpers that need no window.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace velmia::qt {

// Converts a toolkit filter ("description|pattern;pattern|description|pattern")
// into Qt name filters, one per pair: "description (pattern pattern)". A pair
// without a description shows its patterns; a description without patterns is
// dropped. Empty patterns are skipped.
std::vector<std::string> ConvertFilter(const std::string& filter);

// The patterns of one converted filter line, as Qt reads them back.
std::vector<std::string> FilterPatterns(const std::string& qtFilter);

// Appends "." + ext when the file name part of `path` has no extension.
std::string ApplyDefaultExt(const std::string& path, const std::string& ext);

// File names are bytes, Qt's names UTF-16 text, and Qt's own conversion
// (QFile::decodeName) turns every byte that is not valid UTF-8 into U+FFFD,
// so "vlm_co\xff\xfe.bmp" would come back from a dialog as another name.
// These two convert losslessly: valid UTF-8 as text, and each other byte as
// the lone surrogate U+DC80 + byte, which the dialog keeps as it is and
// FileNameFromQt turns back into that byte. Text the user typed converts as
// UTF-8, as Qt would.
QString FileNameToQt(const std::string& name);
std::string FileNameFromQt(const QString& name);

} // namespace velmia::qt
