// IFF PBM decoding. Chunks follow the 12-byte FORM header, each an identifier and a big-endian
// length. "BMHD" gives the size and the compression, "CMAP" the colours, and "BODY" the pixels,
// which end the decoding.
#include "resources/pbm.h"

#include <cstring>

namespace {

uint32_t read_be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
int read_be16(const uint8_t* p) { return p[0] << 8 | p[1]; }

// The bitmap header is read as 20 bytes whatever length it states; the next chunk follows it.
constexpr size_t bmhd_bytes = 20;

// ByteRun1: each row is decoded until at least `width` bytes came out for it. A run may
// produce bytes past the row's end; the next row starts at its own start and overwrites them,
// so they are simply dropped, which also keeps the last row's overrun inside the image.
const char* decode_byterun1(const uint8_t* s, const uint8_t* end, uint8_t* out, int width, int height) {
    for (int y = 0; y < height; y++) {
        uint8_t* row = out + size_t(y) * size_t(width);
        int x = 0;
        while (x < width) {
            if (s >= end) return "PBM pixel data ends early";
            uint8_t n = *s++;
            if (n < 128) {
                int count = n + 1;
                if (end - s < count) return "PBM pixel data ends early";
                int shown = width - x < count ? width - x : count;
                std::memcpy(row + x, s, size_t(shown));
                s += count;
                x += count;
            } else if (n > 128) {
                if (s >= end) return "PBM pixel data ends early";
                int count = 257 - n;
                int shown = width - x < count ? width - x : count;
                std::memset(row + x, *s++, size_t(shown));
                x += count;
            }
        }
    }
    return nullptr;
}

// Uncompressed rows: an odd width stores one padding byte after each row (not needed after the
// last one).
const char* copy_rows(const uint8_t* s, const uint8_t* end, uint8_t* out, int width, int height) {
    size_t stride = size_t(width) + (width & 1);
    size_t needed = stride * size_t(height - 1) + size_t(width);
    if (size_t(end - s) < needed) return "PBM pixel data ends early";
    for (int y = 0; y < height; y++) std::memcpy(out + size_t(y) * width, s + size_t(y) * stride, size_t(width));
    return nullptr;
}

}  // namespace

ImageResult decode_pbm(const uint8_t* data, size_t size, ImagePalette* palette) {
    palette->present = false;
    if (size < 12 || std::memcmp(data, "FORM", 4) != 0 || std::memcmp(data + 8, "PBM ", 4) != 0)
        return {nullptr, "not a PBM file"};
    const uint8_t* end = data + size;
    uint8_t* image = nullptr;
    int width = 0, height = 0;
    bool compressed = false;
    size_t at = 12;
    const char* failure = "PBM file has no BODY";
    while (size - at >= 8) {
        const uint8_t* chunk = data + at;
        uint32_t length = read_be32(chunk + 4);
        const uint8_t* body = chunk + 8;
        size_t left = size - at - 8;
        if (std::memcmp(chunk, "BMHD", 4) == 0) {
            if (left < bmhd_bytes) {
                failure = "PBM chunk runs past the end of the file";
                break;
            }
            width = read_be16(body);
            height = read_be16(body + 2);
            compressed = body[10] != 0;
            free_image(image);
            image = nullptr;
            if ((failure = image_size_failure(width, height))) break;
            if (!(image = allocate_image(width, height))) {
                failure = "out of memory";
                break;
            }
            failure = "PBM file has no BODY";
            at += 8 + bmhd_bytes;
            continue;
        }
        if (length > left) {
            failure = "PBM chunk runs past the end of the file";
            break;
        }
        if (std::memcmp(chunk, "CMAP", 4) == 0) {
            size_t take = length < 768 ? length : 768;
            // Colours the map leaves out are black, so the result depends on this file alone;
            // bytes past 768 do not fit the palette and are ignored.
            std::memset(palette->rgb, 0, sizeof palette->rgb);
            for (size_t i = 0; i < take; i++) palette->rgb[i] = uint8_t(body[i] >> 2);
            palette->present = true;
            at += 8 + size_t(length);
            continue;
        }
        if (std::memcmp(chunk, "BODY", 4) == 0) {
            if (!image) {
                failure = "PBM BODY comes before BMHD";
                break;
            }
            // The pixel data is bounded by the end of the file, not by the stated chunk length.
            failure = compressed ? decode_byterun1(body, end, image_pixels(image), width, height)
                                 : copy_rows(body, end, image_pixels(image), width, height);
            if (failure) break;
            return {image, nullptr};
        }
        at += 8 + size_t(length) + (length & 1);
        if (at > size) {
            failure = "PBM chunk runs past the end of the file";
            break;
        }
    }
    free_image(image);
    return {nullptr, failure};
}
