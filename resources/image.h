// Decoded 8-bit images and the image file front door. Every decoder (PCX, IFF PBM, TX) turns
// a file held in memory into one zero-filled block: width (u16, low byte first), height (u16),
// then width x height palette indices, row by row from the top, each row left to right. The
// block belongs to the caller (free_image). A decoder also fills the palette side channel when
// the file carried colours. decode_image_file picks the decoder by the file's extension, reads
// the file through the resource layer and reports every failure as an error.
#pragma once

#include <cstddef>
#include <cstdint>

// Images with more pixels than this are refused: no game picture comes near it, and a few
// header bytes must not make the engine reserve gigabytes.
constexpr uint64_t IMAGE_MAX_PIXELS = uint64_t(1) << 26;
constexpr int IMAGE_HEADER_BYTES = 4;

// The palette of the last decoded image: 256 entries of red, green, blue, 6 bits each.
struct ImagePalette {
    uint8_t rgb[768];
    bool present;  // cleared when a decode starts, set when the file's colours were stored
};
extern ImagePalette image_palette;

// What a decoder gives back: the image block, or null with a short reason.
struct ImageResult {
    uint8_t* image;
    const char* failure;  // null on success; a static text such as "not a PBM file"
};

enum ImageFormat { IMAGE_FORMAT_NONE = 0, IMAGE_FORMAT_PBM, IMAGE_FORMAT_PCX, IMAGE_FORMAT_TX };

// The format named by the text from the file name's first '.', compared without case:
// ".LBM" and ".BBM" PBM, ".PCX" and ".WEX" PCX, ".TX" raw; anything else none.
ImageFormat image_format_of(const char* file_name);

// Decodes a file held in memory with the decoder of `format`. `palette` receives the
// file's colours (its flag says whether there were any). Reports nothing.
ImageResult decode_image_memory(ImageFormat format, const uint8_t* data, size_t size, ImagePalette* palette);

// Reads and decodes a named image file; the side channel `image_palette` is updated. On any
// failure (unknown extension, missing file, malformed or short data, out of memory) prints
// "dravo: image %s: <reason>" and records an error; answers null.
uint8_t* decode_image_file(const char* file_name);

// A fresh zero-filled image block, or null when the size is 0, too large or memory is short.
uint8_t* allocate_image(int width, int height);
void free_image(uint8_t* image);
// Why an image of that size cannot be made ("image size is 0 or negative", "image too large"),
// or null when it can.
const char* image_size_failure(int64_t width, int64_t height);

inline int image_width(const uint8_t* image) { return image[0] | image[1] << 8; }
inline int image_height(const uint8_t* image) { return image[2] | image[3] << 8; }
inline uint8_t* image_pixels(uint8_t* image) { return image + IMAGE_HEADER_BYTES; }
inline const uint8_t* image_pixels(const uint8_t* image) { return image + IMAGE_HEADER_BYTES; }
