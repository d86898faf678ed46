// Fixtures for the file lookup and archive tests.
#include "archive_fixture.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "resources/lzss.h"

static int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

TempGameFolder::TempGameFolder() {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) previous = cwd;
    char pattern[] = "/tmp/dravo-res-XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
    if (!path.empty() && chdir(path.c_str()) != 0) path.clear();
}

TempGameFolder::~TempGameFolder() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) std::perror("chdir");
    if (!path.empty()) nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

static void make_parents(const std::string& path) {
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

void write_file(const std::string& path, const Bytes& data) {
    make_parents(path);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

Bytes read_file(const std::string& path) {
    Bytes data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
    std::fclose(f);
    return data;
}

bool file_exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

static std::vector<std::string>* tree_listing = nullptr;
static size_t tree_root_length = 0;
static int list_entry(const char* path, const struct stat*, int, struct FTW*) {
    if (std::strlen(path) > tree_root_length) tree_listing->push_back(path + tree_root_length);
    return 0;
}

std::vector<std::string> list_tree(const std::string& folder) {
    std::vector<std::string> found;
    tree_listing = &found;
    tree_root_length = folder.size() + 1;
    nftw(folder.c_str(), list_entry, 16, FTW_PHYS);
    std::sort(found.begin(), found.end());
    return found;
}

static void put_be32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

Bytes raw_record(const std::string& name, uint32_t packed_size, uint32_t unpacked_size, const Bytes& packed) {
    Bytes out(13, 0);
    std::memcpy(out.data(), name.data(), std::min<size_t>(name.size(), 13));
    put_be32(out, packed_size);
    put_be32(out, unpacked_size);
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

Bytes packed_record(const std::string& name, const Bytes& data) {
    Bytes packed = lzss_pack(data);
    return raw_record(name, uint32_t(packed.size()), uint32_t(data.size()), packed);
}

Bytes concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes lzss_pack(const Bytes& data) {
    Bytes out(lzss_encode_bound(data.size()));
    int64_t n = lzss_encode(data.data(), data.size(), out.data(), out.size());
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

Bytes lzss_unpack(const Bytes& packed, uint32_t unpacked_size) {
    Bytes out(unpacked_size);
    LzssDecoder decoder;
    lzss_start(decoder, uint32_t(packed.size()));
    int32_t n = lzss_decode_bytes(decoder, packed.data(), out.data(), int32_t(unpacked_size));
    out.resize(size_t(n));
    return out;
}

static uint32_t next_random(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

Bytes sample_bitmap(int width, int height, uint32_t seed) {
    // A PCX-sized picture: a sky gradient, a flat floor, bricks with mortar lines and a
    // little dither noise, the way textures of these games look.
    Bytes out(size_t(width) * size_t(height));
    uint32_t state = seed;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint8_t c;
            if (y < height / 3)
                c = uint8_t(32 + y * 16 / (height / 3 + 1));
            else if (y > height * 3 / 4)
                c = 80;
            else
                c = (y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0) ? 7 : uint8_t(112 + (x / 16 + y / 8) % 4);
            if (next_random(state) % 16 == 0) c = uint8_t(c + 1);
            out[size_t(y) * size_t(width) + size_t(x)] = c;
        }
    return out;
}

Bytes sample_text(size_t size, uint32_t seed) {
    static const char* const words[] = {
        "ACTION", "IF", "SET", "SKILL", "WALL", "REGION", "THING", "ACTOR", "TEXTURE", "BMAP",
        "PLAYER_X", "PLAYER_Y", "WAIT", "CALL", "BRANCH", "ADD", "SUB", "FLAGS", "SOUND",
        "ON_PASSED", "EACH_TICK", "DOOR_OPEN", "lift_up", "monster", "health", "ammo", "=", ";",
        "{", "}", "0.5", "1", "16", "TRANSPARENT", "INVISIBLE", "BERKELEY", "SCALE_XY"};
    const size_t word_count = sizeof words / sizeof words[0];
    std::string text;
    uint32_t state = seed;
    int column = 0;
    while (text.size() < size) {
        const char* w = words[next_random(state) % word_count];
        text += w;
        column += int(std::strlen(w)) + 1;
        if (column > 60 || next_random(state) % 9 == 0) {
            text += "\r\n";
            column = 0;
            if (next_random(state) % 3 == 0) text += "    ";
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return bytes_of(text);
}

Bytes sample_noise(size_t size, uint32_t seed) {
    Bytes out(size);
    uint32_t state = seed;
    for (auto& b : out) b = uint8_t(next_random(state));
    return out;
}

ConsoleCatch::ConsoleCatch() {
    buffer[0] = 0;
    auto* c = new ConsoleCapture{buffer, int(sizeof buffer), 0, false};
    capture = c;
    console_set_capture(c);
}

ConsoleCatch::~ConsoleCatch() {
    console_set_capture(nullptr);
    delete static_cast<ConsoleCapture*>(capture);
}

std::string ConsoleCatch::text() const { return std::string(buffer, size_t(static_cast<ConsoleCapture*>(capture)->length)); }
