// The set-up of the action compiler and interpreter tests.
#include "tests/script/exec_fixture.h"

#include <cstring>

#include "engine/random.h"
#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/exec_ops.h"
#include "script/exec/print_file.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"

DefinitionOps ExecTest::saved_definition_ops;
PhaseOps ExecTest::saved_phase_ops;

void ExecTest::SetUp() {
    reset_settings();
    load_mode = 0;
    catalogue_reset();
    clear_errors();
    forget_division_warnings();
    error_store.report_armed = 1;
    engine_reseed(1);
    reset_reader();
    install_definition_handlers();
    reset_definitions();
    saved_definition_ops = definition_ops;
    saved_phase_ops = phase_ops;
    install_exec_operations();
    exec_ops = ExecOps{};
    reset_execution();
    frame_timing = FrameTiming{};
    live_input = LiveInput{};
    create_engine_variables();
    create_predefined_synonyms();
}

void ExecTest::TearDown() {
    close_print_file();
    catalogue_reset();
    exec_ops = ExecOps{};
    reset_definitions();
    clear_statement_handlers();
    definition_ops = saved_definition_ops;
    phase_ops = saved_phase_ops;
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
