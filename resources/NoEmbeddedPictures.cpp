// Used when the artwork cannot be rendered (no Qt Svg): no control carries a
// picture.
#include "resources/EmbeddedPictures.h"

namespace velmia::resources {

std::span<const uint8_t> EmbeddedPictureData(std::string_view)
{
    return {};
}

std::vector<std::string_view> EmbeddedPictureNames()
{
    return {};
}

} // namespace velmia::resources
