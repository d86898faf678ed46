// Fixtures for the file lookup and archive tests: a temporary game folder that becomes the
// current directory, files written into it, archives built record by record, and the console
// captured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh folder under /tmp that is the current directory while the object lives.
struct TempGameFolder {
    TempGameFolder();
    ~TempGameFolder();
    std::string path;      // absolute
    std::string previous;  // the directory to return to
};

Bytes bytes_of(const std::string& text);
void write_file(const std::string& path, const Bytes& data);  // creates the folders on the way
Bytes read_file(const std::string& path);
bool file_exists(const std::string& path);
std::vector<std::string> list_tree(const std::string& folder);  // every path below, sorted

// One archive record: the name written into its 13-byte field (cut or zero-padded), the sizes
// exactly as given, then `packed` as is (it may be shorter or longer than packed_size).
Bytes raw_record(const std::string& name, uint32_t packed_size, uint32_t unpacked_size, const Bytes& packed);
// A well-formed record of `data` packed by the engine's encoder.
Bytes packed_record(const std::string& name, const Bytes& data);
Bytes concat(const std::vector<Bytes>& parts);

Bytes lzss_pack(const Bytes& data);
Bytes lzss_unpack(const Bytes& packed, uint32_t unpacked_size);

// Data that packs like game files do: an 8-bit picture with gradients and flat areas, script
// text, and noise that does not pack at all.
Bytes sample_bitmap(int width, int height, uint32_t seed);
Bytes sample_text(size_t size, uint32_t seed);
Bytes sample_noise(size_t size, uint32_t seed);

// Captures the console for the life of the object.
struct ConsoleCatch {
    ConsoleCatch();
    ~ConsoleCatch();
    std::string text() const;
    char buffer[16384];
    void* capture;
};
