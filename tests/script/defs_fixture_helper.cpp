#include "defs_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/bitmap.h"
#include "resources/file_lookup.h"
#include "script/front/reader.h"

const DefinitionOps stand_in_ops = definition_ops;

namespace {

void reset_everything() {
    reset_settings();
    load_mode = 0;
    catalogue_reset();
    release_hooks = ReleaseHooks{};
    clear_errors();
    error_store.report_armed = 1;
    error_store.last_reported_line = -1;
    error_store.box_suppressed = 1;
    reset_reader();
    drop_defines(1);
    action_body_hooks = ActionBodyHooks{};
    definition_ops = stand_in_ops;
    release_bitmap_cache();
    clear_search_dirs();
    reset_definitions();
    install_definition_handlers();
    error_context.script_file = nullptr;
    reader.file_name[0] = 0;
}

}  // namespace

void DefsTest::SetUp() {
    reset_everything();
    create_predefined_synonyms();
    create_engine_variables();
    capture = ConsoleCapture{capture_text, int(sizeof capture_text), 0, false};
    capture_text[0] = 0;
    console_set_capture(&capture);
    char pattern[] = "/tmp/dravo_defs_XXXXXX";
    char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    folder = made;
    char cwd[4096];
    previous_dir = getcwd(cwd, sizeof cwd) ? cwd : "/";
    ASSERT_EQ(chdir(folder.c_str()), 0);
}

void DefsTest::TearDown() {
    console_set_capture(nullptr);
    reset_everything();
    clear_statement_handlers();
    if (chdir(previous_dir.c_str()) != 0) std::perror("chdir");
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

int DefsTest::read(const std::string& text) {
    std::snprintf(reader.file_name, sizeof reader.file_name, "TEST.WDL");
    error_context.script_file = reader.file_name;
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    buffer.push_back(0);
    return read_text(buffer.data(), int(text.size()));
}

void DefsTest::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out << contents;
}

void DefsTest::copy_fixture(const std::string& name) const {
    std::ifstream in(std::string(DRAVO_SOURCE_DIR) + "/tests/script/data/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    write(name, text.str());
}

int DefsTest::read_fixture(const std::string& name) {
    copy_fixture(name);
    return read_file(name.c_str());
}

std::string DefsTest::listing() const {
    char text[8192];
    int n = format_error_reports(text, sizeof text);
    return std::string(text, size_t(n));
}

int DefsTest::errors() { return error_store.error_count; }

std::string tx_image(int width, int height, int first) {
    std::string s = "TX picture\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) s.push_back(char((first + x + y * width) & 255));
    return s;
}

std::string pcx_image(int width, int height) {
    std::string s(128, '\0');
    s[0] = 0x0A;
    s[1] = 5;
    s[2] = 1;
    s[3] = 8;
    auto put16 = [&](int at, int v) {
        s[size_t(at)] = char(v & 255);
        s[size_t(at) + 1] = char(v >> 8);
    };
    put16(8, width - 1);
    put16(10, height - 1);
    put16(12, 72);
    put16(14, 72);
    s[65] = 1;
    put16(66, width);
    put16(68, 1);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned char v = (unsigned char)((x + y) & 255);
            if (v >= 0xC0) s.push_back(char(0xC1));
            s.push_back(char(v));
        }
    s.push_back(0x0C);
    for (int i = 0; i < 256; i++) {
        s.push_back(char(i));
        s.push_back(char(255 - i));
        s.push_back(char(i / 2));
    }
    return s;
}
