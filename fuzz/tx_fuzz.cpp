// Fuzzes the TX decoder: any input gives an image or a reason, never a read or write
// outside the buffers. A decoded image is cut into a column bitmap as a BMAP would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "resources/bitmap.h"
#include "resources/image.h"
#include "resources/tx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImagePalette palette;
    ImageResult result = decode_tx(data, size, &palette);
    if ((result.image == nullptr) == (result.failure == nullptr)) std::abort();
    if (!result.image) return 0;
    int width = image_width(result.image), height = image_height(result.image);
    ColumnBitmap bitmap;
    const char* failure = nullptr;
    if (cut_bitmap(result.image, width / 3, height / 2, width - width / 3, height - height / 2, &bitmap, &failure))
        free_bitmap_pixels(&bitmap);
    free_image(result.image);
    return 0;
}
