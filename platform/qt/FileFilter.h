// File dialog helpers that need no window.
#pragma once

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

} // namespace velmia::qt
