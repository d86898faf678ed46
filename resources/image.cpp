// The image file front door: choosing the decoder by extension, reading the file, reporting.
#include "resources/image.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/archive.h"
#include "resources/pbm.h"
#include "resources/pcx.h"
#include "resources/tx.h"

ImagePalette image_palette;

uint8_t* allocate_image(int width, int height) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return nullptr;
    uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (pixels > IMAGE_MAX_PIXELS) return nullptr;
    uint8_t* image = static_cast<uint8_t*>(std::calloc(1, IMAGE_HEADER_BYTES + size_t(pixels)));
    if (!image) return nullptr;
    image[0] = uint8_t(width);
    image[1] = uint8_t(width >> 8);
    image[2] = uint8_t(height);
    image[3] = uint8_t(height >> 8);
    return image;
}

void free_image(uint8_t* image) { std::free(image); }

const char* image_size_failure(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return "image size is 0 or negative";
    if (width > 0xFFFF || height > 0xFFFF || uint64_t(width) * uint64_t(height) > IMAGE_MAX_PIXELS)
        return "image too large";
    return nullptr;
}

ImageFormat image_format_of(const char* file_name) {
    const char* dot = file_name ? std::strchr(file_name, '.') : nullptr;
    if (!dot) return IMAGE_FORMAT_NONE;
    static const struct {
        const char* extension;
        ImageFormat format;
    } table[] = {
        {".LBM", IMAGE_FORMAT_PBM}, {".BBM", IMAGE_FORMAT_PBM}, {".PCX", IMAGE_FORMAT_PCX},
        {".WEX", IMAGE_FORMAT_PCX}, {".TX", IMAGE_FORMAT_TX},
    };
    for (const auto& entry : table)
        if (strcasecmp(dot, entry.extension) == 0) return entry.format;
    return IMAGE_FORMAT_NONE;
}

ImageResult decode_image_memory(ImageFormat format, const uint8_t* data, size_t size, ImagePalette* palette) {
    switch (format) {
    case IMAGE_FORMAT_PBM: return decode_pbm(data, size, palette);
    case IMAGE_FORMAT_PCX: return decode_pcx(data, size, palette);
    case IMAGE_FORMAT_TX: return decode_tx(data, size, palette);
    case IMAGE_FORMAT_NONE: break;
    }
    palette->present = false;
    return {nullptr, "unknown image type"};
}

static uint8_t* image_failure(const char* file_name, const char* reason) {
    console_message("dravo: image %s: %s\n", file_name ? file_name : "", reason);
    report_error("decode_image_file");
    return nullptr;
}

uint8_t* decode_image_file(const char* file_name) {
    image_palette.present = false;
    ImageFormat format = image_format_of(file_name);
    if (format == IMAGE_FORMAT_NONE) return image_failure(file_name, "unknown image type");
    int32_t size = 0;
    uint8_t* data = load_resource(file_name, &size);
    if (!data) return image_failure(file_name, "file not found");
    ImageResult result = decode_image_memory(format, data, size_t(size < 0 ? 0 : size), &image_palette);
    std::free(data);
    if (!result.image) return image_failure(file_name, result.failure);
    return result.image;
}
