// Column bitmaps for BMAP and OVLY definitions. A column bitmap holds width x height palette
// indices column by column, the columns from left to right and each column from its bottom
// pixel up to its top pixel: the order in which the column renderer walks a texture. Index 0
// is an ordinary colour here; the drawers decide about transparency.
//
// load_bitmap cuts a rectangle (or the whole picture) out of an image file. The last decoded
// file stays in a one-file cache, so consecutive definitions cutting from the same file decode
// it once. The definitions parser validates rectangles with bitmap_rectangle_valid and finds
// bitmaps to share with bitmap_sources_match.
#pragma once

#include <cstdint>

struct ColumnBitmap {
    int width;
    int height;
    uint8_t* pixels;  // width x height bytes, owned by whoever received the bitmap
};

// Where a bitmap was cut from: the file and the rectangle as the definition gave it (width or
// height 0: the whole picture).
struct BitmapSource {
    char file[128];  // empty (the name did not fit): matches nothing
    int x, y, width, height;
};

// Whether a rectangle may be cut from an image of the given size. A width or height of 0 asks
// for the whole picture and is always valid (x and y are then not used). Otherwise every number
// must be non-negative and the rectangle must lie inside the image; sums are formed without
// overflow, so negative sizes or huge positions never pass.
bool bitmap_rectangle_valid(int image_width, int image_height, int x, int y, int width, int height);

// Cuts a column bitmap out of a decoded image (the block of resources/image.h). Answers false
// with a reason when the rectangle is not valid or memory is short; reports nothing.
bool cut_bitmap(const uint8_t* image, int x, int y, int width, int height, ColumnBitmap* out, const char** failure);

// Decodes `file_name` unless the cache already holds it, then cuts the rectangle. On failure
// (empty name, decoder failure, rectangle outside the image, out of memory) an error is
// recorded and false is answered; a failed decode or a bad rectangle empties the cache. The
// pixels of `out` belong to the caller (free_bitmap_pixels).
bool load_bitmap(const char* file_name, int x, int y, int width, int height, ColumnBitmap* out);
void free_bitmap_pixels(ColumnBitmap* bitmap);

// The one-file cache: the name of the last image file decoded for a bitmap and its picture.
struct BitmapCache {
    char name[128];   // empty: the cache holds no file
    uint8_t* image;   // null when the decode failed
};
extern BitmapCache bitmap_cache;

void release_bitmap_cache();
bool bitmap_cache_holds(const char* file_name);  // compared without case

// Two definitions share pixels when they cut from the same file (without case) the same
// rectangle, or when both take the whole picture.
void set_bitmap_source(BitmapSource* source, const char* file_name, int x, int y, int width, int height);
bool bitmap_sources_match(const BitmapSource& a, const BitmapSource& b);
