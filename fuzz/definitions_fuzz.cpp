// Feeds arbitrary text to the script reader and the definitions parser, as a game's WDL
// file, in a small game folder that holds pictures, a palette picture, a data file and a
// script to include, so that the definitions reach their file readers. The first byte picks
// the compatibility switches and the loading mode. The catalogue, the parser's block state,
// the defines and the reader are reset between runs.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/bitmap.h"
#include "resources/file_lookup.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"

namespace {

char console_buffer[8192];
ConsoleCapture capture;

void put(const std::string& dir, const char* name, const std::string& contents) {
    std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
}

std::string tx(int w, int h) {
    std::string s = "TX\n" + std::to_string(w) + " " + std::to_string(h) + "\n";
    for (int i = 0; i < w * h; i++) s.push_back(char(i * 7));
    return s;
}

std::string pcx(int w, int h) {
    std::string s(128, '\0');
    s[0] = 0x0A, s[1] = 5, s[2] = 1, s[3] = 8;
    s[8] = char(w - 1), s[10] = char(h - 1), s[65] = 1, s[66] = char(w), s[68] = 1;
    for (int i = 0; i < w * h; i++) s.push_back(char(i & 63));
    s.push_back(0x0C);
    for (int i = 0; i < 768; i++) s.push_back(char(i));
    return s;
}

void make_game_folder() {
    static bool made = false;
    if (made) return;
    made = true;
    char pattern[] = "/tmp/dravo_defs_fuzz_XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir || chdir(dir) != 0) return;
    put(dir, "a.tx", tx(8, 8));
    put(dir, "w.tx", tx(16, 4));
    put(dir, "f.tx", tx(24, 8));
    put(dir, "p.pcx", pcx(4, 4));
    put(dir, "r.txt", "t.wdl,1,2,hello,a.tx\n,3,4,x,w.tx\nbad\n");
    put(dir, "t.wdl", "MAPFILE t.wmp;\n");
    put(dir, "i.wdl", "STRING inc, \"included\";\nINCLUDE <i.wdl>;\nSKILL k { VAL 1; }\n");
    std::string flic(128, '\0');
    flic[4] = 0x12, flic[5] = char(0xAF), flic[6] = 3, flic[8] = 8, flic[10] = 8;
    put(dir, "m.flc", flic);
}

void reset_all(uint8_t switches) {
    capture.length = 0;
    reset_settings();
    settings.use_err = 1;
    settings.compat356 = switches & 1;
    settings.compat368 = (switches >> 1) & 1;
    settings.v308 = (switches >> 2) & 1;
    settings.sound_request = (switches & 8) ? 64 : 32;
    load_mode = (switches & 0x10) ? LOAD_REDEFINE : (switches & 0x20) ? LOAD_KEEP_LOCAL : 0;
    error_store.box_suppressed = 1;
    catalogue_reset();
    clear_errors();
    error_store.report_armed = 1;
    reset_reader();
    drop_defines(1);
    action_body_hooks = ActionBodyHooks{};
    release_bitmap_cache();
    clear_search_dirs();
    reset_definitions();
    install_definition_handlers();
    error_context.script_file = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 18)) return 0;
    static bool prepared = false;
    if (!prepared) {
        prepared = true;
        capture = ConsoleCapture{console_buffer, int(sizeof console_buffer), 0, false};
        console_set_capture(&capture);
        make_game_folder();
        catalogue_init();
    }
    reset_all(data[0]);
    create_predefined_synonyms();
    create_engine_variables();
    // A world read twice, as a reload does: the second reading meets the objects of the first.
    std::vector<char> text(data + 1, data + size);
    text.push_back(0);
    text.push_back(0);
    read_text(text.data(), int(size - 1));
    if (data[0] & 0x40) {
        clear_errors();
        error_store.report_armed = 1;
        load_mode = LOAD_REDEFINE;
        text.assign(data + 1, data + size);
        text.push_back(0);
        text.push_back(0);
        read_text(text.data(), int(size - 1));
    }
    reset_all(0);
    return 0;
}
