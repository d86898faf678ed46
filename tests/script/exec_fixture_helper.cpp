// The set-up of the action compiler and interpreter tests.
#include "tests/script/exec_fixture.h"

#include <cstring>

#include "engine/random.h"
#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/event_slots.h"
#include "script/exec/exec_ops.h"
#include "script/exec/print_file.h"
#include "script/front/reader.h"

void ExecTest::SetUp() {
    reset_settings();
    load_mode = 0;
    catalogue_reset();
    clear_errors();
    forget_division_warnings();
    error_store.report_armed = 1;
    engine_reseed(1);
    reset_reader();
    clear_statement_handlers();
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, "ACTION", action_definition);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, "RULES", action_definition);
    exec_ops = ExecOps{};
    exec_init();
    reset_execution();
    event_slots = EventSlots{};
    frame_timing = FrameTiming{};
    live_input = LiveInput{};
    create_engine_variables();
    create_predefined_synonyms();
}

void ExecTest::TearDown() {
    close_print_file();
    catalogue_reset();
    exec_ops = ExecOps{};
    event_slots = EventSlots{};
    clear_statement_handlers();
    reset_settings();
    clear_errors();
    forget_division_warnings();
    frame_timing = FrameTiming{};
}

int ExecTest::read(const std::string& text) {
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    buffer.push_back(0);
    return read_text(buffer.data(), int(text.size()));
}

Action* ExecTest::action(const char* name) {
    NameEntry* e = find_name_of_kind(name, KIND_ACTION);
    return e ? static_cast<Action*>(e->object) : nullptr;
}

int ExecTest::run(const std::string& body, const char* name) {
    int before = errors();
    define(name, body);
    EXPECT_EQ(errors(), before) << "compiling: " << body << "\n" << console();
    return run_action(action(name));
}

std::vector<Instruction*> ExecTest::code(const char* name) {
    std::vector<Instruction*> list;
    Action* a = action(name);
    for (Instruction* ip = a ? a->first : nullptr; ip; ip = ip->next) list.push_back(ip);
    return list;
}

Skill* ExecTest::skill(const char* name, double v) {
    Skill* s = find_skill(name);
    if (!s) {
        create_skill(name);
        s = find_skill(name);
    }
    s->value = fixed_from_double(v);
    return s;
}

int32_t ExecTest::value(const char* name) {
    Skill* s = find_skill(name);
    EXPECT_NE(s, nullptr) << name;
    return s ? s->value : 0;
}

ScriptString* ExecTest::string(const char* name, const char* text, int capacity) {
    void* object = nullptr;
    create_object(name, KIND_STRING, &object);
    auto* s = static_cast<ScriptString*>(object);
    set_string_text(s, text);
    if (capacity > 0) {
        s->text = static_cast<char*>(std::realloc(s->text, size_t(capacity)));
        s->capacity = capacity;
        s->text[capacity - 1] = 0;
        if (std::strlen(text) >= size_t(capacity)) s->text[capacity - 1] = 0;
    }
    return s;
}
