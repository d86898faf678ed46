// The PCX decoder (".PCX" and ".WEX" files): 8-bit, one plane, version 5, run-length coded or
// raw, with the optional 256-colour palette after the pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/image.h"

ImageResult decode_pcx(const uint8_t* data, size_t size, ImagePalette* palette);
