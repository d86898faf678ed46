// PCX decoding. The 128-byte header gives the picture's corners and the bytes of each stored
// line; the pixels follow at byte 128, and an optional palette marker (12) with 768 bytes of
// 8-bit colours comes right after them.
#include "resources/pcx.h"

#include <cstring>

namespace {

constexpr size_t pcx_header_bytes = 128;
constexpr uint8_t pcx_palette_marker = 12;

int read_u16(const uint8_t* p) { return p[0] | p[1] << 8; }

struct PcxSource {
    const uint8_t* at;
    const uint8_t* end;
};

// Run-length data filling the whole picture as one stream: a run that reaches the end of the
// picture is cut there.
bool decode_stream(PcxSource& src, uint8_t* out, size_t total) {
    size_t done = 0;
    const uint8_t* s = src.at;
    const uint8_t* end = src.end;
    while (done < total) {
        if (s >= end) return false;
        uint8_t b = *s++;
        if (b < 192) {
            out[done++] = b;
            continue;
        }
        if (s >= end) return false;
        size_t count = b & 63;
        uint8_t value = *s++;
        if (count > total - done) count = total - done;
        std::memset(out + done, value, count);
        done += count;
    }
    src.at = s;
    return true;
}

// Run-length data stored line by line, `line_bytes` to a line: the bytes of columns at or past
// the width are dropped. Decoding ends after the last row; runs may cross from one line into
// the next.
bool decode_lines(PcxSource& src, uint8_t* out, int width, int height, int line_bytes) {
    int x = 0, y = 0;
    uint8_t* row = out;
    const uint8_t* s = src.at;
    const uint8_t* end = src.end;
    while (y < height) {
        if (s >= end) return false;
        uint8_t b = *s++;
        int count = 1;
        uint8_t value = b;
        if (b >= 192) {
            if (s >= end) return false;
            count = b & 63;
            value = *s++;
        } else if (x + 1 < line_bytes) {  // a literal inside the line: the common case
            if (x < width) row[x] = value;
            x++;
            continue;
        }
        while (count > 0 && y < height) {
            int take = line_bytes - x < count ? line_bytes - x : count;
            if (x < width) {
                int shown = width - x < take ? width - x : take;
                std::memset(row + x, value, size_t(shown));
            }
            x += take;
            count -= take;
            if (x == line_bytes) {
                x = 0;
                y++;
                row += width;
            }
        }
    }
    src.at = s;
    return true;
}

}  // namespace

ImageResult decode_pcx(const uint8_t* data, size_t size, ImagePalette* palette) {
    palette->present = false;
    if (size < pcx_header_bytes) return {nullptr, "PCX header too short"};
    if (data[1] != 5 || data[65] != 1) return {nullptr, "not an 8-bit single-plane PCX file"};
    int64_t width = int64_t(read_u16(data + 8)) - read_u16(data + 4) + 1;
    int64_t height = int64_t(read_u16(data + 10)) - read_u16(data + 6) + 1;
    if (const char* failure = image_size_failure(width, height)) return {nullptr, failure};
    int line_bytes = read_u16(data + 66);
    bool coded = data[2] == 1;
    if (coded && line_bytes == 0) return {nullptr, "PCX line length is 0"};

    uint8_t* image = allocate_image(int(width), int(height));
    if (!image) return {nullptr, "out of memory"};
    uint8_t* pixels = image_pixels(image);
    size_t total = size_t(width) * size_t(height);
    PcxSource src = {data + pcx_header_bytes, data + size};
    bool complete;
    if (!coded) {
        complete = size_t(src.end - src.at) >= total;
        if (complete) {
            std::memcpy(pixels, src.at, total);
            src.at += total;
        }
    } else if (line_bytes == width) {
        complete = decode_stream(src, pixels, total);
    } else {
        complete = decode_lines(src, pixels, int(width), int(height), line_bytes);
    }
    if (!complete) {
        free_image(image);
        return {nullptr, "PCX pixel data ends early"};
    }

    if (src.at >= src.end || *src.at != pcx_palette_marker) return {image, nullptr};
    if (size_t(src.end - src.at) - 1 < 768) {
        free_image(image);
        return {nullptr, "PCX palette cut short"};
    }
    const uint8_t* colours = src.at + 1;
    for (int i = 0; i < 768; i++) palette->rgb[i] = uint8_t(colours[i] >> 2);
    palette->present = true;
    return {image, nullptr};
}
