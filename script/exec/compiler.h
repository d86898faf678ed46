// The action compiler: turns every statement of an ACTION or RULES body into one
// instruction (a few statements into more) of the action's list, resolves the operands
// against the catalogue once, handles the block constructs (IF, WHILE, ELSE, BREAK,
// CONTINUE), labels, SKIP and GOTO, and fixes the jump targets in a link pass when the
// action's closing brace is read.
//
// Use from the definitions: begin_action at the header "ACTION name {", then every
// statement of the body goes to compile_statement (the field handler of reader state 7),
// a statement ending in "{" calls mark_block_open first, every "}" goes to close_block,
// and end_action runs after the brace that closes the action.
#pragma once

#include <cstdint>

#include "script/exec/instruction.h"
#include "script/front/records.h"

constexpr int MAX_OPEN_BLOCKS = 63;
constexpr int RULE_TEXT_MAX = 7999;
constexpr int RULE_DESTINATION_MAX = 64;
constexpr int FILE_NAME_MAX = 12;
constexpr int LABEL_NAME_MAX = 30;

// 1, or -2 when the action cannot be made (the body then compiles into a throw-away sink).
// Frees an earlier body of the action, empties labels and blocks, sets RULES mode for the
// keyword "RULES".
int begin_action(const char* keyword, const char* name);
// One statement of the body, its keyword already taken from the reader: 1 (compiled, or
// an error reported and compilation goes on), -1 (script error reported), -2 (no memory).
int compile_statement(const char* keyword);
// The statement being read ended with "{": the next block push takes it.
void mark_block_open();
// 1 when a block was closed, 0 when none was open (the brace closes the action).
int close_block();
// After the action's closing brace: the link pass, the check that the action has an
// instruction, and the end of the compilation state.
void end_action();

// Frees an action's instructions (first, resume and the in-place wait state go with them)
// and cancels its pending runs.
void free_instructions(Action* action);

// Resolves a variable token (a skill, an engine variable, an input-state name, NAME.MEMBER
// of a named object or a synonym) as the definitions' FEATURE and panel fields need it.
// False after an error report (an unknown name) or for a constant (a number: no report).
bool parse_variable(const char* token, VarRef* out);

// The 1-based position of an instruction in its action, 0 when it is not in the list.
int32_t instruction_number(const Action* action, const Instruction* instruction);

// The action being compiled (null outside a body), and the RULES mode.
Action* compiling_action();
bool compiling_rules();
