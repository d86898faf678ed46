// The raw image decoder (".TX" files): a first line that is ignored, then "width height" in
// decimal on the second line, then width x height pixel bytes row by row. No palette.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/image.h"

ImageResult decode_tx(const uint8_t* data, size_t size, ImagePalette* palette);
