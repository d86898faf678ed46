// Cutting column bitmaps out of decoded images, with the one-file cache.
#include "resources/bitmap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/archive.h"
#include "resources/image.h"

BitmapCache bitmap_cache;

bool bitmap_rectangle_valid(int image_width, int image_height, int x, int y, int width, int height) {
    if (width == 0 || height == 0) return width >= 0 && height >= 0;
    if (x < 0 || y < 0 || width < 0 || height < 0) return false;
    return int64_t(x) + width <= image_width && int64_t(y) + height <= image_height;
}

bool cut_bitmap(const uint8_t* image, int x, int y, int width, int height, ColumnBitmap* out, const char** failure) {
    *out = {0, 0, nullptr};
    int iw = image_width(image), ih = image_height(image);
    if (!bitmap_rectangle_valid(iw, ih, x, y, width, height)) {
        *failure = "rectangle outside the image";
        return false;
    }
    if (width == 0 || height == 0) {
        x = 0;
        y = 0;
        width = iw;
        height = ih;
    }
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(size_t(width) * size_t(height)));
    if (!pixels) {
        *failure = "out of memory";
        return false;
    }
    // Column i holds image column x + i from row y + height - 1 up to row y.
    const uint8_t* src = image_pixels(image);
    uint8_t* dst = pixels;
    for (int i = 0; i < width; i++) {
        const uint8_t* p = src + size_t(y + height - 1) * iw + size_t(x + i);
        for (int r = 0; r < height; r++, p -= iw) *dst++ = *p;
    }
    *out = {width, height, pixels};
    return true;
}

void free_bitmap_pixels(ColumnBitmap* bitmap) {
    std::free(bitmap->pixels);
    *bitmap = {0, 0, nullptr};
}

void release_bitmap_cache() {
    free_image(bitmap_cache.image);
    bitmap_cache.image = nullptr;
    bitmap_cache.name[0] = 0;
}

bool bitmap_cache_holds(const char* file_name) {
    return bitmap_cache.name[0] && file_name && strcasecmp(bitmap_cache.name, file_name) == 0;
}

// Each decoded bitmap file gives the loading screen a chance to redraw (it draws at most
// every 50 ms), so a long list of definitions keeps the window responsive.
static void advance_loading_progress() {
    if (resource_refresh_loading) resource_refresh_loading();
}

static bool bitmap_failure(const char* file_name, const char* reason) {
    console_message("dravo: bitmap %s: %s\n", file_name ? file_name : "", reason);
    report_error("load_bitmap");
    return false;
}

bool load_bitmap(const char* file_name, int x, int y, int width, int height, ColumnBitmap* out) {
    *out = {0, 0, nullptr};
    if (!bitmap_cache_holds(file_name)) {
        release_bitmap_cache();
        if (!file_name || !*file_name) return bitmap_failure("", "no file name");
        // A name too long for the cache is decoded every time instead of being remembered cut.
        size_t length = std::strlen(file_name);
        if (length < sizeof bitmap_cache.name) std::memcpy(bitmap_cache.name, file_name, length + 1);
        bitmap_cache.image = decode_image_file(file_name);
        advance_loading_progress();
    }
    // The decoder has reported its own failure; forgetting the name makes the next
    // definition from that file try again.
    if (!bitmap_cache.image) {
        release_bitmap_cache();
        return false;
    }
    const char* failure = nullptr;
    if (!cut_bitmap(bitmap_cache.image, x, y, width, height, out, &failure)) {
        release_bitmap_cache();
        return bitmap_failure(file_name, failure);
    }
    return true;
}

void set_bitmap_source(BitmapSource* source, const char* file_name, int x, int y, int width, int height) {
    size_t length = file_name ? std::strlen(file_name) : 0;
    if (file_name && length < sizeof source->file)
        std::memcpy(source->file, file_name, length + 1);
    else
        source->file[0] = 0;
    source->x = x;
    source->y = y;
    source->width = width;
    source->height = height;
}

static bool whole_picture(const BitmapSource& s) { return s.width == 0 || s.height == 0; }

bool bitmap_sources_match(const BitmapSource& a, const BitmapSource& b) {
    if (!a.file[0] || !b.file[0] || strcasecmp(a.file, b.file) != 0) return false;
    if (whole_picture(a) || whole_picture(b)) return whole_picture(a) && whole_picture(b);
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
