// Shared set-up of the action compiler and interpreter tests: a clean catalogue with the
// engine variables and predefined synonyms, the reader with the definitions' handlers, the
// compiler and interpreter installed, the console captured; helpers that read WDL text, run actions and
// look at skills and instructions.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/frame.h"
#include "script/exec/compiler.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/world_script.h"
#include "tests/common/console_capture.h"

class ExecTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads WDL text through the reading loop and the definitions.
    int read(const std::string& text);
    // Reads one action "ACTION name { body }".
    int define(const std::string& name, const std::string& body) {
        return read("ACTION " + name + " {\n" + body + "\n}\n");
    }
    Action* action(const char* name);
    // Defines and runs an action; the result of run_action.
    int run(const std::string& body, const char* name = "test_action");
    std::vector<Instruction*> code(const char* name);
    Skill* skill(const char* name, double value = 0);  // made when missing, then set
    int32_t value(const char* name);                   // a skill's raw value
    double number(const char* name) { return value(name) / 1024.0; }
    ScriptString* string(const char* name, const char* text, int capacity = 0);
    static int errors() { return error_store.error_count; }
    std::string console() const { return captured.text(); }

    static DefinitionOps saved_definition_ops;  // the definitions' own entries, put back after
    static PhaseOps saved_phase_ops;
    CapturedConsole captured;
    std::vector<char> buffer;
};
