// Raw TX decoding: a text header of two lines, then the pixels.
#include "resources/tx.h"

#include <cstring>

namespace {

constexpr int tx_number_limit = 31;  // characters of one size number

// Reads the decimal number that ends at `stop`. A carriage return before a line feed is
// allowed (files edited under DOS). Answers -1 when the field is empty, too long or not a number.
int64_t read_number(const uint8_t*& s, const uint8_t* end, uint8_t stop) {
    int64_t value = 0;
    int digits = 0, length = 0;
    while (s < end && *s != stop) {
        if (++length > tx_number_limit) return -1;
        uint8_t c = *s++;
        if (c >= '0' && c <= '9' && (digits == length - 1)) {
            if (value < 0x10000000) value = value * 10 + (c - '0');
            digits++;
        } else if (!(c == '\r' && stop == '\n' && digits > 0)) {
            return -1;
        }
    }
    if (s >= end || digits == 0) return -1;
    s++;  // the terminator
    return value;
}

}  // namespace

ImageResult decode_tx(const uint8_t* data, size_t size, ImagePalette* palette) {
    palette->present = false;
    const uint8_t* end = data + size;
    const uint8_t* s = static_cast<const uint8_t*>(std::memchr(data, '\n', size));
    if (!s) return {nullptr, "TX header incomplete"};
    s++;
    int64_t width = read_number(s, end, ' ');
    int64_t height = width < 0 ? -1 : read_number(s, end, '\n');
    if (width < 0 || height < 0) return {nullptr, "TX header has no valid size"};
    if (const char* failure = image_size_failure(width, height)) return {nullptr, failure};
    size_t total = size_t(width) * size_t(height);
    if (size_t(end - s) < total) return {nullptr, "TX pixel data ends early"};
    uint8_t* image = allocate_image(int(width), int(height));
    if (!image) return {nullptr, "out of memory"};
    std::memcpy(image_pixels(image), s, total);
    return {image, nullptr};
}
