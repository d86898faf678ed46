// Actions in a running engine, as a user starts it: the start action of a world computes
// with every operator, function, loop and jump and writes the results to the print file;
// waiting and per-tick actions over many frames in deterministic mode write the same file
// on every run.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/common/run_process.h"

namespace {

const std::string dravo = DRAVO_BUILD_DIR "/dravo";
const std::string data = DRAVO_SOURCE_DIR "/tests/script/data/exec/";

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a world of this folder from a fresh copy; the print file it wrote, or "".
std::string run_world(const std::string& script, const std::vector<std::string>& options, const std::string& print,
                      std::string* output = nullptr) {
    TempDir dir;
    dir.write(script + ".WDL", file_text(data + script + ".WDL"));
    std::vector<std::string> args = options;
    args.push_back(script);
    ProcessResult r = run_process(dravo, args, dir.path, {}, 60);
    EXPECT_EQ(r.status, 0) << r.output;
    if (output) *output = r.output;
    return dir.read(print);
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
    return n;
}

TEST(ExecWorld, StartActionWritesEveryResultToThePrintFile) {
    std::string output;
    std::string printed = run_world("ALLOPS", {"-FRAMES100", "-OT"}, "ops0.TXT", &output);
    EXPECT_EQ(printed, file_text(data + "allops_expected.txt")) << output;
    // The division by zero is reported once, naming the action; nothing else went wrong.
    EXPECT_EQ(count(output, "division by zero in action start"), 1) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
}

TEST(ExecWorld, WaitsAndTickActionsRepeatExactlyInDeterministicMode) {
    std::string first = run_world("TICKS", {"-OT", "-SIMHZ64"}, "ticks0.TXT");
    std::string second = run_world("TICKS", {"-OT", "-SIMHZ64"}, "ticks0.TXT");
    EXPECT_EQ(first, second);
    // 64 steps a second: the seconds come at steps 64 and 128, the pulse every sixth step,
    // and the game ends at step 160.
    EXPECT_EQ(count(first, "sec "), 2) << first;
    EXPECT_NE(first.find("sec 1.000 63.000 64.000"), std::string::npos) << first;
    EXPECT_EQ(count(first, "pulse "), 26) << first;
    EXPECT_EQ(count(first, "round "), 4) << first;
    EXPECT_NE(first.find("ticks16 63.000 64.000"), std::string::npos) << first;
    size_t end = first.rfind("exit 160.000 160.000 ");
    ASSERT_NE(end, std::string::npos) << first;
    EXPECT_EQ(first.find('\n', end), first.size() - 1);
}

}  // namespace
