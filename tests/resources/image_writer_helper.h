// Writers of small image files for the decoder tests: IFF PBM (ByteRun1 or uncompressed),
// PCX (run-length or raw, any bytes per line) and TX, plus temporary files on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace image_test {

struct PbmWriteOptions {
    bool compress = false;
    bool pad_coded_rows = true;        // odd widths: code a padding byte on each row's last item
    const uint8_t* cmap = nullptr;     // 768 bytes of 8-bit colours, or none
    int cmap_bytes = 768;
    bool odd_chunk_before_body = false;  // an unknown chunk of odd length before BODY
};
// width x height pixels, row by row from the top.
Bytes write_pbm(int width, int height, const uint8_t* pixels, const PbmWriteOptions& options = {});
// ByteRun1 coding of one row as the writer makes it (runs of 3 or more repeat).
Bytes byterun1_encode(const uint8_t* row, int length);

struct PcxWriteOptions {
    int line_bytes = 0;                // 0: the width
    bool coded = true;
    const uint8_t* palette = nullptr;  // 768 bytes of 8-bit colours, or none
    int x_min = 0, y_min = 0;
};
Bytes write_pcx(int width, int height, const uint8_t* pixels, const PcxWriteOptions& options = {});

Bytes write_tx(int width, int height, const uint8_t* pixels, const char* first_line = "TX image");

Bytes read_file_bytes(const std::string& path);
// A fresh directory under /tmp for one test; files written there are removed with it.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    std::string write(const std::string& name, const Bytes& bytes) const;
};

// A palette of 768 bytes where colour i is (i, 255 - i, i * 7 mod 256).
Bytes test_palette_8bit();

}  // namespace image_test
