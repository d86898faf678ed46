// dravo-wrs, run as a player or game author would: pack files, list, extract and verify.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive_fixture.h"
#include "resources/archive.h"

namespace {

struct ToolRun {
    int status;
    std::string output;  // standard output and error together
};

const std::string tool = std::string(DRAVO_BUILD_DIR) + "/dravo-wrs";

ToolRun run_tool(const std::string& args) {
    ToolRun r{-1, {}};
    FILE* p = popen((tool + " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, p)) > 0) r.output.append(chunk, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class WrsTool : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(file_exists(tool)) << tool << " is missing: build the dravo-wrs target";
    }
    TempGameFolder folder;
};

TEST_F(WrsTool, PackListExtractGiveBackTheSameBytes) {
    struct File {
        std::string name;
        Bytes data;
    } files[] = {
        {"EMPTY.TXT", {}},
        {"ONE.BIN", {7}},
        {"G17.TXT", sample_text(17, 1)},
        {"G18.TXT", sample_text(18, 2)},
        {"RING.TXT", sample_text(4096, 3)},
        {"RING1.TXT", sample_text(4097, 4)},
        {"WALL1.PCX", sample_bitmap(64, 64, 5)},
        {"SKY.PCX", sample_bitmap(320, 200, 6)},
        {"BOOM.WAV", sample_noise(22050, 7)},
        {"LEVEL.WDL", sample_text(150000, 8)},
        {"Intro.Flc", concat({sample_bitmap(320, 200, 9), sample_noise(1000, 10), sample_bitmap(320, 200, 11)})},
    };
    std::string names;
    for (const File& f : files) {
        write_file("src/" + f.name, f.data);
        names += " src/" + f.name;
    }
    ToolRun pack = run_tool("pack out.wrs" + names);
    ASSERT_EQ(pack.status, 0) << pack.output;
    EXPECT_FALSE(file_exists("out.wrs.tmp-0"));

    ToolRun list = run_tool("list out.wrs");
    ASSERT_EQ(list.status, 0) << list.output;
    for (const File& f : files) {
        std::string line_start = f.name + std::string(15 - f.name.size(), ' ');
        size_t at = list.output.find("\n" + line_start);
        ASSERT_NE(at, std::string::npos) << f.name << "\n" << list.output;
        unsigned packed = 0, unpacked = 0;
        ASSERT_EQ(std::sscanf(list.output.c_str() + at + 1 + line_start.size(), "%u %u", &packed, &unpacked), 2);
        EXPECT_EQ(unpacked, f.data.size()) << f.name;
        EXPECT_EQ(packed, lzss_pack(f.data).size()) << f.name;
    }
    EXPECT_NE(list.output.find("11 entries"), std::string::npos) << list.output;

    ToolRun verify = run_tool("verify out.wrs");
    EXPECT_EQ(verify.status, 0) << verify.output;
    EXPECT_NE(verify.output.find("11 entries verified"), std::string::npos) << verify.output;

    write_file("all/.keep", {});
    ToolRun extract = run_tool("extract -C all out.wrs");
    ASSERT_EQ(extract.status, 0) << extract.output;
    for (const File& f : files) {
        EXPECT_TRUE(file_exists("all/" + f.name)) << f.name;
        EXPECT_EQ(read_file("all/" + f.name), f.data) << f.name;
    }

    write_file("some/.keep", {});
    ASSERT_EQ(run_tool("extract out.wrs wall1.pcx EMPTY.TXT -C some").status, 0);
    EXPECT_EQ(read_file("some/WALL1.PCX"), files[6].data);
    EXPECT_TRUE(file_exists("some/EMPTY.TXT"));
    EXPECT_FALSE(file_exists("some/SKY.PCX"));

    // The engine finds every entry by name in what the tool wrote.
    ASSERT_EQ(open_archive("out.wrs"), 11);
    for (const File& f : files) {
        int32_t size = -1;
        uint8_t* data = load_resource(f.name.c_str(), &size);
        ASSERT_NE(data, nullptr) << f.name;
        EXPECT_EQ(Bytes(data, data + size), f.data) << f.name;
        std::free(data);
    }
    close_archive();
}

TEST_F(WrsTool, ExtractsIntoTheCurrentFolder) {
    write_file("G.WRS", concat({packed_record("A.TXT", bytes_of("alpha")), packed_record("B.TXT", bytes_of("beta"))}));
    ASSERT_EQ(run_tool("extract G.WRS").status, 0);
    EXPECT_EQ(read_file("A.TXT"), bytes_of("alpha"));
    EXPECT_EQ(read_file("B.TXT"), bytes_of("beta"));
}

struct BadInput {
    const char* what;
    const char* args;
    int status;
    const char* message;
};

const BadInput bad_inputs[] = {
    {"no command", "", 2, "no command given"},
    {"unknown command", "squash x.wrs", 2, "unknown command \"squash\""},
    {"pack without files", "pack out.wrs", 2, "pack needs an archive and at least one file"},
    {"list of two", "list a.wrs b.wrs", 2, "give exactly one archive"},
    {"-C without folder", "extract G.WRS -C", 2, "-C needs a folder"},
    {"missing archive", "list nothing.wrs", 1, "nothing.wrs: no such archive"},
    {"name too long", "pack out.wrs src/LONGFILENAME.PCX", 1, "longer than 12 characters"},
    {"not 8.3", "pack out.wrs src/NINECHARS.PC", 1, "not a DOS 8.3 name"},
    {"two dots", "pack out.wrs src/A.B.C", 1, "not a DOS 8.3 name"},
    {"a space", "pack out.wrs 'src/A B.PCX'", 1, "cannot hold"},
    {"duplicate without case", "pack out.wrs src/WALL.PCX other/wall.pcx", 1, "already taken by src/WALL.PCX"},
    {"missing file", "pack out.wrs src/WALL.PCX src/GONE.PCX", 1, "src/GONE.PCX: cannot be read"},
    {"missing entry", "extract G.WRS NOPE.TXT", 1, "NOPE.TXT: not in G.WRS"},
    {"missing folder", "extract -C nowhere G.WRS", 1, "nowhere: no such folder"},
};

class WrsBadInput : public WrsTool, public testing::WithParamInterface<BadInput> {};

TEST_P(WrsBadInput, SaysWhatIsWrongAndFails) {
    const BadInput& c = GetParam();
    write_file("src/LONGFILENAME.PCX", bytes_of("x"));
    write_file("src/NINECHARS.PC", bytes_of("x"));
    write_file("src/A.B.C", bytes_of("x"));
    write_file("src/A B.PCX", bytes_of("x"));
    write_file("src/WALL.PCX", bytes_of("x"));
    write_file("other/wall.pcx", bytes_of("y"));
    write_file("G.WRS", packed_record("A.TXT", bytes_of("a")));
    ToolRun r = run_tool(c.args);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.what << "\n" << r.output;
    EXPECT_FALSE(file_exists("out.wrs")) << c.what << ": no archive is left behind";
}

INSTANTIATE_TEST_SUITE_P(WrsTool, WrsBadInput, testing::ValuesIn(bad_inputs));

TEST_F(WrsTool, Help) {
    ToolRun r = run_tool("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"list ARCHIVE", "extract [-C DIR] ARCHIVE [NAME...]", "pack ARCHIVE FILE...", "verify ARCHIVE"})
        EXPECT_NE(r.output.find(word), std::string::npos) << word;
}

TEST_F(WrsTool, VerifyAndExtractReportDamage) {
    Bytes text = sample_text(5000, 12);
    Bytes packed = lzss_pack(text);
    Bytes cut(packed.begin(), packed.begin() + long(packed.size() / 2));
    write_file("D.WRS", concat({packed_record("GOOD.TXT", bytes_of("good")),
                                raw_record("CUT.TXT", uint32_t(cut.size()), uint32_t(text.size()), cut)}));
    ToolRun v = run_tool("verify D.WRS");
    EXPECT_EQ(v.status, 1);
    EXPECT_NE(v.output.find("CUT.TXT: decodes to"), std::string::npos) << v.output;
    EXPECT_NE(v.output.find("of its 5000 bytes"), std::string::npos) << v.output;
    ToolRun x = run_tool("extract D.WRS");
    EXPECT_EQ(x.status, 1);
    EXPECT_NE(x.output.find("CUT.TXT: damaged"), std::string::npos) << x.output;
    EXPECT_EQ(read_file("GOOD.TXT"), bytes_of("good"));
    EXPECT_EQ(read_file("CUT.TXT"), lzss_unpack(cut, uint32_t(text.size())));

    Bytes truncated = packed_record("A.TXT", bytes_of("a"));
    truncated.pop_back();
    write_file("T.WRS", truncated);
    ToolRun t = run_tool("verify T.WRS");
    EXPECT_EQ(t.status, 1) << t.output;
    EXPECT_NE(t.output.find("the file holds"), std::string::npos) << t.output;
}

TEST_F(WrsTool, ExtractRefusesNamesThatLeaveTheFolder) {
    write_file("EVIL.WRS", concat({packed_record("../ESCAPE", bytes_of("x")), packed_record("OK.TXT", bytes_of("ok"))}));
    write_file("out/.keep", {});
    ToolRun r = run_tool("extract -C out EVIL.WRS");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("../ESCAPE: not a name that can be written"), std::string::npos) << r.output;
    EXPECT_FALSE(file_exists("ESCAPE"));
    EXPECT_EQ(read_file("out/OK.TXT"), bytes_of("ok"));
}

TEST_F(WrsTool, ExtractSkipsEntriesTheEngineNeverReads) {
    write_file("G.WRS", concat({packed_record("A.TXT", bytes_of("first")), packed_record("a.txt", bytes_of("second"))}));
    ToolRun r = run_tool("extract G.WRS");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("a.txt: hidden by an earlier entry"), std::string::npos) << r.output;
    EXPECT_EQ(read_file("A.TXT"), bytes_of("first"));
    EXPECT_FALSE(file_exists("a.txt"));
}

}  // namespace
