// The IFF PBM decoder (".LBM" and ".BBM" files): a "FORM" of type "PBM " with chunky 8-bit
// pixels, uncompressed or ByteRun1-coded, and an optional "CMAP" palette.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/image.h"

ImageResult decode_pbm(const uint8_t* data, size_t size, ImagePalette* palette);
