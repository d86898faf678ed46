// The resource archive: directory, whole-file reads, streams, existence, the order of the
// three places, and damaged archives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "archive_fixture.h"
#include "resources/archive.h"
#include "resources/file_lookup.h"

namespace {

// Reads a whole resource into bytes; `found` tells whether a buffer came back.
struct Loaded {
    bool found;
    Bytes data;
    Bytes tail;  // the two bytes after the reported size
};

Loaded load(const char* name, bool original = false) {
    int32_t size = -1;
    uint8_t* p = original ? load_original_resource(name, &size) : load_resource(name, &size);
    Loaded r{p != nullptr, {}, {}};
    if (p) {
        r.data.assign(p, p + size);
        r.tail.assign(p + size, p + size + 2);
    } else {
        EXPECT_EQ(size, 0);
    }
    std::free(p);
    return r;
}

Bytes stream_all(const char* name, int32_t chunk) {
    Bytes out;
    Bytes buffer(size_t(chunk) + 8, 0xCC);
    const char* n = name;
    for (;;) {
        int32_t count = chunk;
        uint8_t* p = stream_resource(n, buffer.data(), &count);
        n = nullptr;
        if (!p) {
            EXPECT_EQ(count, 0);
            break;
        }
        EXPECT_EQ(p, buffer.data());
        EXPECT_GT(count, 0);
        EXPECT_LE(count, chunk);
        out.insert(out.end(), buffer.begin(), buffer.begin() + count);
    }
    return out;
}

class ArchiveTest : public testing::Test {
protected:
    void TearDown() override {
        close_archive();
        clear_search_dirs();
    }
    TempGameFolder folder;
};

TEST_F(ArchiveTest, OpensListsAndReadsEntries) {
    Bytes wall = sample_bitmap(64, 64, 1), script = sample_text(5000, 2), noise = sample_noise(3000, 3);
    write_file("GAME.WRS", concat({packed_record("WALL1.PCX", wall), packed_record("LEVEL.WDL", script),
                                   packed_record("BOOM.WAV", noise)}));
    ASSERT_EQ(open_archive("game.wrs"), 3) << "opened through the lookup: case does not matter";
    EXPECT_STREQ(archive.entries[1].name, "LEVEL.WDL");
    EXPECT_EQ(archive.entries[0].data_offset, archive_record_header);
    EXPECT_EQ(archive.entries[1].unpacked_size, script.size());

    Loaded a = load("wall1.pcx");
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.data, wall);
    EXPECT_EQ(a.tail, Bytes({0, 0}));
    EXPECT_EQ(load("LEVEL.WDL").data, script);
    EXPECT_EQ(load("BOOM.WAV", true).data, noise);
    EXPECT_FALSE(load("NOPE.PCX").found);
    EXPECT_FALSE(load("").found);
    EXPECT_FALSE(load(nullptr).found);
}

TEST_F(ArchiveTest, OpeningRules) {
    write_file("ONE.WRS", concat({packed_record("A.TXT", bytes_of("one"))}));
    write_file("TWO.WRS", concat({packed_record("A.TXT", bytes_of("two")), packed_record("B.TXT", bytes_of("b"))}));
    EXPECT_EQ(open_archive("ONE.WRS"), 1);
    EXPECT_EQ(open_archive("ONE.WRS"), 0) << "the archive already open";
    EXPECT_EQ(open_archive("one.wrs"), 1) << "the remembered name is compared with exact case";
    EXPECT_EQ(open_archive("TWO.WRS"), 2);
    EXPECT_EQ(load("A.TXT").data, bytes_of("two"));
    EXPECT_EQ(open_archive("MISSING.WRS"), -1);
    EXPECT_EQ(archive.file, nullptr);
    EXPECT_FALSE(load("A.TXT").found) << "no archive is open after a failed open";
    EXPECT_EQ(open_archive("TWO.WRS"), 2);
    EXPECT_EQ(open_archive(""), 0);
    EXPECT_EQ(archive.file, nullptr) << "an empty path leaves no archive open";
    EXPECT_EQ(archive.count, 0);
    write_file("EMPTY.WRS", {});
    EXPECT_EQ(open_archive("EMPTY.WRS"), 0);
}

TEST_F(ArchiveTest, LongArchivePathIsNeverTakenForAnother) {
    std::string dir(60, 'd');
    std::string long_path = dir + "/GAME.WRS";  // 69 characters: more than the name field keeps
    write_file(long_path, concat({packed_record("A.TXT", bytes_of("long"))}));
    std::string cut = long_path.substr(0, 63);  // what a cut name would remember: ".../GA"
    write_file(cut, concat({packed_record("A.TXT", bytes_of("short")), packed_record("B", {})}));
    EXPECT_EQ(open_archive(long_path.c_str()), 1);
    EXPECT_EQ(open_archive(cut.c_str()), 2) << "the other archive really opens";
    EXPECT_EQ(load("A.TXT").data, bytes_of("short"));
    EXPECT_EQ(open_archive(long_path.c_str()), 1);
}

TEST_F(ArchiveTest, FindsTheBaseNameAndTheFirstOfCaseTwins) {
    write_file("G.WRS", concat({packed_record("WALL1.PCX", bytes_of("first")),
                                packed_record("wall1.pcx", bytes_of("second"))}));
    ASSERT_EQ(open_archive("G.WRS"), 2);
    EXPECT_EQ(load("wall1.PCX").data, bytes_of("first"));
    EXPECT_EQ(load("BMAPS\\WALL1.PCX").data, bytes_of("first"));
    EXPECT_EQ(load("C:\\GAME/BMAPS\\wall1.pcx").data, bytes_of("first"));
    EXPECT_EQ(stream_all("wall1.pcx", 100), bytes_of("first"));
    EXPECT_EQ(resource_exists("WALL1.PCX"), 0);
    EXPECT_EQ(resource_exists("BMAPS\\WALL1.PCX"), -2) << "existence compares the whole name";
    write_file("BMAPS/wall1.pcx", bytes_of("disk"));
    EXPECT_EQ(resource_exists("BMAPS\\WALL1.PCX"), 0) << "unless a file of that path is on disk";
    EXPECT_EQ(resource_exists(""), -1);
    EXPECT_EQ(resource_exists(nullptr), -1);
}

TEST_F(ArchiveTest, ArchiveComesBeforeDiskAndDiskIsTheLastResort) {
    write_file("G.WRS", concat({packed_record("BOTH.TXT", bytes_of("archive"))}));
    write_file("both.txt", bytes_of("disk"));
    write_file("SOUNDS/only.wav", bytes_of("disk only"));
    ASSERT_EQ(open_archive("G.WRS"), 1);
    add_search_dir("C:\\GAME\\SOUNDS");
    EXPECT_EQ(load("BOTH.TXT").data, bytes_of("archive"));
    EXPECT_EQ(stream_all("BOTH.TXT", 3), bytes_of("archive"));
    Loaded d = load("ONLY.WAV");
    EXPECT_EQ(d.data, bytes_of("disk only")) << "found below a search directory";
    EXPECT_EQ(d.tail, Bytes({0, 0}));
    EXPECT_EQ(load("ONLY.WAV", true).data, bytes_of("disk only"));
    EXPECT_EQ(stream_all("ONLY.WAV", 4), bytes_of("disk only"));
    EXPECT_EQ(resource_exists("ONLY.WAV"), -2) << "existence does not use the search directories";
    EXPECT_EQ(resource_exists("sounds/ONLY.WAV"), 0) << "folders are matched without case";
    EXPECT_EQ(resource_exists("SOUNDS/ONLY.WAV"), 0);
    EXPECT_EQ(resource_exists("BOTH.TXT"), 0);
    EXPECT_EQ(resource_exists("NONE.TXT"), -2);
    close_archive();
    EXPECT_EQ(load("BOTH.TXT").data, bytes_of("disk"));
}

TEST_F(ArchiveTest, EmptyEntries) {
    write_file("G.WRS", concat({raw_record("EMPTY.TXT", 0, 0, {}), raw_record("HOLE.TXT", 0, 100, {}),
                                packed_record("NEXT.TXT", bytes_of("next"))}));
    ASSERT_EQ(open_archive("G.WRS"), 3);
    Loaded e = load("EMPTY.TXT");
    EXPECT_TRUE(e.found);
    EXPECT_TRUE(e.data.empty());
    EXPECT_EQ(e.tail, Bytes({0, 0}));
    Loaded h = load("HOLE.TXT");
    EXPECT_TRUE(h.found);
    EXPECT_TRUE(h.data.empty()) << "nothing was decoded, so the reported size is 0";
    EXPECT_EQ(h.tail, Bytes({0, 0}));
    EXPECT_TRUE(stream_all("EMPTY.TXT", 16).empty());
    EXPECT_EQ(load("NEXT.TXT").data, bytes_of("next"));
}

TEST_F(ArchiveTest, MatchReadsTheBytesItHasJustWritten) {
    // Flag byte 0b01: a literal 'A', then a match at 4078 (where the 'A' went) of length 5.
    Bytes packed = {0x01, 'A', 0xEE, 0xF2};
    write_file("G.WRS", concat({raw_record("A.TXT", 4, 6, packed)}));
    ASSERT_EQ(open_archive("G.WRS"), 1);
    EXPECT_EQ(load("A.TXT").data, bytes_of("AAAAAA"));
    EXPECT_EQ(stream_all("A.TXT", 1), bytes_of("AAAAAA"));
}

TEST_F(ArchiveTest, StreamingInAnyChunkEqualsTheWholeRead) {
    Bytes big = concat({sample_bitmap(320, 200, 4), sample_text(20000, 5), sample_noise(5000, 6)});
    write_file("G.WRS", concat({packed_record("INTRO.FLC", big), packed_record("X.TXT", bytes_of("x"))}));
    ASSERT_EQ(open_archive("G.WRS"), 2);
    Loaded whole = load("INTRO.FLC");
    ASSERT_EQ(whole.data, big);
    EXPECT_EQ(stream_all("INTRO.FLC", 1), whole.data);
    for (int32_t chunk : {2, 7, 17, 18, 19, 4096, 65536, 10000000}) EXPECT_EQ(stream_all("INTRO.FLC", chunk), whole.data) << chunk;
}

TEST_F(ArchiveTest, WholeReadsBetweenStreamCallsDoNotDisturbTheStream) {
    Bytes movie = sample_bitmap(200, 100, 7), other = sample_text(9000, 8);
    write_file("G.WRS", concat({packed_record("MOVIE.FLI", movie), packed_record("OTHER.TXT", other)}));
    ASSERT_EQ(open_archive("G.WRS"), 2);
    Bytes got;
    uint8_t buffer[333];
    int32_t count = sizeof buffer;
    const char* name = "MOVIE.FLI";
    while (uint8_t* p = stream_resource(name, buffer, &count)) {
        name = nullptr;
        got.insert(got.end(), p, p + count);
        EXPECT_EQ(load("OTHER.TXT").data, other);
        EXPECT_EQ(load("MOVIE.FLI").data, movie);
        count = sizeof buffer;
    }
    EXPECT_EQ(got, movie);
}

TEST_F(ArchiveTest, StreamRules) {
    write_file("G.WRS", concat({packed_record("A.TXT", bytes_of("abcdef")), packed_record("B.TXT", bytes_of("xyz"))}));
    ASSERT_EQ(open_archive("G.WRS"), 2);
    uint8_t buffer[8];
    int32_t count = 0;
    EXPECT_EQ(stream_resource("A.TXT", buffer, &count), nullptr) << "zero capacity";
    count = 4;
    EXPECT_EQ(stream_resource("A.TXT", nullptr, &count), nullptr);
    EXPECT_EQ(count, 0) << "the delivered count is cleared first";
    count = 4;
    EXPECT_EQ(stream_resource(nullptr, buffer, &count), nullptr) << "no stream open";
    count = 4;
    ASSERT_NE(stream_resource("A.TXT", buffer, &count), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size_t(count)), "abcd");
    count = 2;
    ASSERT_NE(stream_resource("B.TXT", buffer, &count), nullptr) << "a new name resets the stream";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size_t(count)), "xy");
    count = 8;
    ASSERT_NE(stream_resource("", buffer, &count), nullptr) << "an empty name goes on";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size_t(count)), "z");
    count = 8;
    EXPECT_EQ(stream_resource(nullptr, buffer, &count), nullptr);
    EXPECT_EQ(resource_stream.source, stream_none) << "the stream closes when it delivers nothing";
    count = 8;
    EXPECT_EQ(stream_resource("MISSING.TXT", buffer, &count), nullptr);
    count = 2;
    ASSERT_NE(stream_resource("A.TXT", buffer, &count), nullptr);
    close_archive();
    count = 2;
    EXPECT_EQ(stream_resource(nullptr, buffer, &count), nullptr) << "closing the archive ends the stream";
}

TEST_F(ArchiveTest, DirectoryHoldsAt2048Entries) {
    std::vector<Bytes> records;
    for (int i = 0; i < 2100; i++) records.push_back(raw_record("F" + std::to_string(i) + ".TXT", 0, 0, {}));
    write_file("BIG.WRS", concat(records));
    ConsoleCatch console;
    ASSERT_EQ(open_archive("BIG.WRS"), 2048);
    EXPECT_STREQ(archive.entries[2047].name, "F2047.TXT");
    EXPECT_EQ(resource_exists("F2047.TXT"), 0);
    EXPECT_EQ(resource_exists("F2048.TXT"), -2);
    EXPECT_NE(console.text().find("more than 2048 resources"), std::string::npos) << console.text();
}

TEST_F(ArchiveTest, LoadingScreenRefreshesBeforeReadsByName) {
    static int refreshes;
    refreshes = 0;
    resource_refresh_loading = [] { refreshes++; };
    write_file("A.TXT", bytes_of("a"));
    uint8_t buffer[4];
    int32_t count = 4;
    std::free(load_resource("A.TXT", nullptr));
    stream_resource("A.TXT", buffer, &count);
    resource_refresh_loading = nullptr;
    EXPECT_EQ(refreshes, 2);
}

// ---------------------------------------------------------------------------------------------
// Damaged archives: what can be read is read, the rest of a buffer stays zero, and nothing
// is read outside the file or the buffer.

struct DamageCase {
    const char* what;
    Bytes file;
    int entries;
    const char* name;   // entry to read
    Bytes expect;       // what reading it gives
    const char* message;
};

Bytes prefix(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + long(std::min(n, b.size()))); }

std::vector<DamageCase> damage_cases() {
    Bytes text = sample_text(4000, 9);
    Bytes packed = lzss_pack(text);
    Bytes good = packed_record("GOOD.TXT", bytes_of("good"));
    std::vector<DamageCase> cases;
    cases.push_back({"header cut short", concat({good, prefix(packed_record("NEXT.TXT", text), 15)}), 1,
                     "GOOD.TXT", bytes_of("good"), "is cut short"});
    Bytes cut = prefix(raw_record("CUT.TXT", uint32_t(packed.size()), uint32_t(text.size()), packed), 21 + packed.size() / 2);
    Bytes cut_expect = lzss_unpack(prefix(packed, packed.size() / 2), uint32_t(text.size()));
    cases.push_back({"packed data runs past the end of the file", concat({good, cut}), 2, "CUT.TXT", cut_expect,
                     "the file holds"});
    Bytes nameless = raw_record("ABCDEFGHIJKLM", 5, 4, {0x0F, 'a', 'b', 'c', 'd'});  // no zero in 13 bytes
    cases.push_back({"name without a zero byte", concat({nameless, good}), 2, "GOOD.TXT", bytes_of("good"), "has no end"});
    cases.push_back({"name without a zero byte is cut to 12", concat({nameless, good}), 2, "ABCDEFGHIJKL", bytes_of("abcd"),
                     "has no end"});
    Bytes early = raw_record("EARLY.TXT", uint32_t(packed.size() / 3), uint32_t(text.size()), prefix(packed, packed.size() / 3));
    cases.push_back({"packed data ends before the unpacked size", concat({early, good}), 2, "EARLY.TXT",
                     lzss_unpack(prefix(packed, packed.size() / 3), uint32_t(text.size())), nullptr});
    Bytes huge = raw_record("HUGE.TXT", 4, 0xFFFFFFFFu, {0x01, 'A', 0xEE, 0xF2});
    cases.push_back({"unpacked size beyond what the packed bytes can give", concat({huge, good}), 2, "HUGE.TXT",
                     bytes_of("AAAAAA"), nullptr});
    Bytes long_packed = raw_record("LONG.TXT", 0xFFFFFFF0u, 0x7FFFFFFFu, {0xFF, 'a', 'b', 'c'});
    cases.push_back({"sizes far past the end of the file", concat({good, long_packed}), 2, "LONG.TXT", bytes_of("abc"),
                     "the file holds"});
    cases.push_back({"garbage", sample_noise(100, 10), -1, "X", {}, nullptr});
    return cases;
}

TEST_F(ArchiveTest, DamagedArchives) {
    for (const DamageCase& c : damage_cases()) {
        SCOPED_TRACE(c.what);
        write_file("D.WRS", c.file);
        ConsoleCatch console;
        int n = open_archive("D.WRS");
        if (c.entries >= 0) {
            EXPECT_EQ(n, c.entries);
        }
        Loaded got = load(c.name);
        if (c.entries >= 0) {
            ASSERT_TRUE(got.found);
            EXPECT_EQ(got.data, c.expect);
            EXPECT_EQ(got.tail, Bytes({0, 0}));
            EXPECT_EQ(stream_all(c.name, 5), c.expect);
        }
        if (c.message) {
            EXPECT_NE(console.text().find(c.message), std::string::npos) << console.text();
            EXPECT_GT(archive.damaged_records, 0);
        }
        // Every entry of whatever was read can be loaded and streamed safely.
        for (int i = 0; i < archive.count; i++) {
            int32_t size = 0;
            std::free(load_archive_entry(i, &size));
            EXPECT_LE(uint32_t(size), archive.entries[i].unpacked_size);
        }
        close_archive();
    }
}

}  // namespace
