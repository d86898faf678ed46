// Feeds arbitrary text through the script reader, the definitions parser and the action
// compiler, then runs what was compiled: every action once for an object of the world, the
// start action, and a few script ticks (the queue, EACH_TICK, EACH_SEC, a key action), with
// a small instruction budget per run. Files go to a scratch folder and delays to a driven
// clock. The catalogue is reset between runs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/clock.h"
#include "engine/console.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/exec_ops.h"
#include "script/exec/interpreter.h"
#include "script/exec/print_file.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"

namespace {

char console_buffer[1 << 16];
ConsoleCapture capture = {console_buffer, sizeof console_buffer, 0, false};
DrivenClock clock_state = {1, true};
int keys_left = 0;

void once() {
    static bool done = false;
    if (done) return;
    done = true;
    console_set_capture(&capture);
    clock_drive(&clock_state);
    reset_settings();
    char folder[] = "/tmp/dravo-actions-fuzz-XXXXXX";
    if (mkdtemp(folder)) std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", folder);
    reset_reader();
    catalogue_init();
    install_definition_handlers();
    install_exec_operations();
    run_instruction_budget = 2000;
    exec_ops.next_key = [] { return keys_left-- > 0 ? (keys_left % 3 ? 'a' : 13) : -1; };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    once();
    if (size > 65536) return 0;
    capture.length = 0;
    close_print_file();
    catalogue_reset();
    clear_errors();
    forget_division_warnings();
    reset_reader();
    reset_definitions();
    reset_execution();
    frame_timing = FrameTiming{};
    live_input = LiveInput{};
    create_engine_variables();
    create_predefined_synonyms();

    // A small world for MY and THERE.
    void* room = nullptr;
    create_object("room", KIND_REGION, &room);
    MapObject* probe = new_map_object("probe", KIND_THING);
    if (probe) {
        probe->vertex1 = new_vertex(0, 0, 0);
        probe->region = static_cast<Region*>(room);
    }

    std::vector<char> text(data, data + size);
    text.push_back(0);
    text.push_back(0);
    read_text(text.data(), int(size));
    clear_errors();

    // Every action once, then the world's own events.
    std::vector<Action*> actions;
    for (Action* a = catalogue.actions; a && actions.size() < 64; a = a->next) actions.push_back(a);
    for (Action* a : actions) run_action_as(probe, nullptr, a);
    run_start_action();
    keys_left = 8;
    if (!actions.empty()) world_script.key[30] = actions[0];
    for (int step = 0; step < 6; step++) {
        var_set(SLOT_TIME_CORR, 1024);
        live_input.key_pressed[30] = step % 3 == 0;
        script_tick();
    }
    run_load_action();
    close_print_file();
    return 0;
}
