#include "tests/resources/image_writer_helper.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace image_test {

static void put_be32(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}
static void put_be16(Bytes& out, int v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
static void put_le16(Bytes& out, int v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
static void put_id(Bytes& out, const char* id) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(id[i]));
}

Bytes byterun1_encode(const uint8_t* row, int length) {
    Bytes out;
    int i = 0;
    while (i < length) {
        int run = 1;
        while (i + run < length && run < 128 && row[i + run] == row[i]) run++;
        if (run >= 3) {
            out.push_back(uint8_t(257 - run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        int start = i, count = 0;
        while (i < length && count < 128) {
            int ahead = 1;
            while (i + ahead < length && ahead < 3 && row[i + ahead] == row[i]) ahead++;
            if (ahead >= 3) break;
            i++;
            count++;
        }
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), row + start, row + start + count);
    }
    return out;
}

Bytes write_pbm(int width, int height, const uint8_t* pixels, const PbmWriteOptions& o) {
    Bytes body;
    int stride = width + (width & 1);
    Bytes row(size_t(stride), 0);
    for (int y = 0; y < height; y++) {
        std::copy(pixels + size_t(y) * width, pixels + size_t(y + 1) * width, row.begin());
        if (o.compress) {
            Bytes coded = byterun1_encode(row.data(), width);
            if (o.pad_coded_rows && (width & 1)) {
                // The padding byte rides on the row's last item (a run grows by one, a literal
                // takes one byte more): the decoder reads each row until it has its width and
                // drops what a run produced past it.
                size_t last = 0;
                for (size_t at = 0; at < coded.size(); last = at, at += coded[at] < 128 ? coded[at] + 2u : 2u) {}
                if (coded[last] > 129) {
                    coded[last]--;
                } else if (coded[last] < 127) {
                    coded[last]++;
                    coded.push_back(0);
                } else {
                    coded.push_back(0);  // a full item: the pad stands alone (the decoder would
                    coded.push_back(0);  // take it for the next row), so callers avoid this
                }
            }
            body.insert(body.end(), coded.begin(), coded.end());
        } else {
            body.insert(body.end(), row.begin(), row.begin() + stride);
        }
    }
    Bytes chunks;
    put_id(chunks, "BMHD");
    put_be32(chunks, 20);
    put_be16(chunks, width);
    put_be16(chunks, height);
    for (int i = 0; i < 4; i++) chunks.push_back(0);  // x, y
    chunks.push_back(8);                             // planes
    chunks.push_back(0);                             // masking
    chunks.push_back(o.compress ? 1 : 0);
    chunks.push_back(0);                             // pad
    put_be16(chunks, 0);                             // transparent colour
    chunks.push_back(10);
    chunks.push_back(11);                            // aspect
    put_be16(chunks, width);
    put_be16(chunks, height);
    if (o.cmap) {
        put_id(chunks, "CMAP");
        put_be32(chunks, uint32_t(o.cmap_bytes));
        for (int i = 0; i < o.cmap_bytes; i++) chunks.push_back(o.cmap[i % 768]);
    }
    if (o.odd_chunk_before_body) {
        put_id(chunks, "DPPS");
        put_be32(chunks, 3);
        chunks.push_back('B');  // "BODY" inside a skipped chunk must not be taken for one
        chunks.push_back('O');
        chunks.push_back('D');
        chunks.push_back(0);    // pad byte
    }
    put_id(chunks, "BODY");
    put_be32(chunks, uint32_t(body.size()));
    chunks.insert(chunks.end(), body.begin(), body.end());
    if (body.size() & 1) chunks.push_back(0);
    Bytes out;
    put_id(out, "FORM");
    put_be32(out, uint32_t(chunks.size() + 4));
    put_id(out, "PBM ");
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

Bytes write_pcx(int width, int height, const uint8_t* pixels, const PcxWriteOptions& o) {
    int line_bytes = o.line_bytes ? o.line_bytes : width;
    Bytes out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = o.coded ? 1 : 0;
    out[3] = 8;
    Bytes head;
    put_le16(head, o.x_min);
    put_le16(head, o.y_min);
    put_le16(head, o.x_min + width - 1);
    put_le16(head, o.y_min + height - 1);
    std::copy(head.begin(), head.end(), out.begin() + 4);
    out[65] = 1;
    out[66] = uint8_t(line_bytes);
    out[67] = uint8_t(line_bytes >> 8);
    if (!o.coded) {
        out.insert(out.end(), pixels, pixels + size_t(width) * height);
    } else {
        for (int y = 0; y < height; y++) {
            Bytes line(size_t(line_bytes), 0);
            for (int x = 0; x < width && x < line_bytes; x++) line[size_t(x)] = pixels[size_t(y) * width + x];
            for (int x = 0; x < line_bytes;) {
                int run = 1;
                while (x + run < line_bytes && run < 63 && line[size_t(x + run)] == line[size_t(x)]) run++;
                uint8_t v = line[size_t(x)];
                if (run > 1 || v >= 192) {
                    out.push_back(uint8_t(192 | run));
                    out.push_back(v);
                } else {
                    out.push_back(v);
                }
                x += run;
            }
        }
    }
    if (o.palette) {
        out.push_back(12);
        out.insert(out.end(), o.palette, o.palette + 768);
    }
    return out;
}

Bytes write_tx(int width, int height, const uint8_t* pixels, const char* first_line) {
    char head[128];
    int n = std::snprintf(head, sizeof head, "%s\n%d %d\n", first_line, width, height);
    Bytes out(head, head + n);
    out.insert(out.end(), pixels, pixels + size_t(width) * height);
    return out;
}

Bytes read_file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
    char pattern[] = "/tmp/dravo-image-XXXXXX";
    char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (path != "/tmp") std::filesystem::remove_all(path, ignored);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    std::string full = path + "/" + name;
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return full;
}

Bytes test_palette_8bit() {
    Bytes p(768);
    for (int i = 0; i < 256; i++) {
        p[size_t(3 * i)] = uint8_t(i);
        p[size_t(3 * i + 1)] = uint8_t(255 - i);
        p[size_t(3 * i + 2)] = uint8_t(i * 7);
    }
    return p;
}

}  // namespace image_test
