// What the files of the definitions parser share: the value forms of field statements
// (names of a kind, action names, strings, files, flag lists, variables, whole numbers),
// keyword tables with a small hash index, the settling of handler answers, and the object
// makers that table A and the database rows both use. Not for other modules.
#pragma once

#include <cstdint>

#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"

// ---- Keywords ---------------------------------------------------------------------------

struct KeywordRow {
    const char* keyword;  // upper case
    int code;
};

// A keyword table with an index built on first use; rows keep their order for equal hashes.
struct KeywordTable {
    const KeywordRow* rows;
    int count;
    int16_t buckets[128];  // first row of each hash bucket, -1 when empty
    int16_t chain[256];    // next row with the same hash, -1 at the end
    bool built;
};
#define KEYWORD_TABLE(rows) KeywordTable{rows, int(sizeof(rows) / sizeof(rows[0])), {}, {}, false}

// The code of a keyword (compared without case), or -1.
int find_keyword(KeywordTable& table, const char* word);
bool same_keyword(const char* a, const char* b);  // without case
bool is_null_word(const char* word);              // "NULL", any case

// ---- Answers ----------------------------------------------------------------------------

// A field handler that answers -1 has reported its error already: the reading loop's own
// report for that answer is swallowed, so that each fault counts once. When nothing was
// reported (a value reader that declined quietly) the loop's report stands.
int settle_field(int answer, int errors_before);
// A definition handler's -1 must leave a report behind: one is made when none was.
int settle_definition(int answer, int errors_before);
// Reports one error at the current statement; answers -1.
int field_error(const char* where = __builtin_FUNCTION());

// ---- Value forms ------------------------------------------------------------------------

// Each reader takes the next token(s) of the statement: 0 with the value, or -1 after a
// report (missing token, invalid number, missing name, wrong kind).
int take_token(const char** token);
int take_number(int32_t* value);              // 22.10
int take_integer(int32_t* whole);             // the integer part, "." not allowed
int take_whole(int64_t* value);               // a whole number of any size (saturated)
int take_file(const char** name);             // a file-name token (between "<" and ">")
// A name of a kind; KIND_OBJECT accepts walls, things and actors. With allow_null,
// "NULL" gives null.
int take_object(int32_t kind, void** object, bool allow_null = false);
// An action found or declared (forward references allowed); "NULL" gives null.
int take_action(Action** action);
// A string literal (a new anonymous string), the name of a STRING, or "NULL".
int take_string(ScriptString** string);
// A variable: a skill or member reference resolved by the operand resolver; a constant is
// an error.
int take_variable(VarRef* ref, int32_t** direct_cell = nullptr);

struct FlagName {
    const char* name;  // upper case
    uint32_t bits;
    uint32_t kinds;    // for object flags: which kinds may use it (FLAGS_FOR_*); 0 = all
};
// A flag list up to the end of the statement; each name ORs its bits into *word. An
// unknown name (or one not allowed for `kind_mask`) is an error that ends the list.
int take_flags(const FlagName* names, int count, uint32_t* word, uint32_t kind_mask = 0);

bool tokens_remaining();  // a token is left in the statement
// The tokens of the statement not yet taken, file markers not counted. A one-line
// definition of a fixed form that holds more tokens than its form is not that definition:
// it answers "not mine", so that a statement that has run into the next one (a missing
// ";") is reported as claimed by nothing.
int tokens_after_keyword();

// ---- Object makers (table A and database rows) ------------------------------------------

// BMAP and OVLY: a bitmap cut from the file (the whole picture when width or height is 0).
int define_bitmap(const char* name, const char* file, int32_t x, int32_t y, int32_t width, int32_t height);
int define_overlay_bitmap(const char* name, const char* file, int32_t x, int32_t y, int32_t width,
                          int32_t height);
int define_sound(const char* name, const char* file, int is_music);
int define_flic(const char* name, const char* file);
int define_string(const char* name, const char* text);
// The object of a name made by one of the makers above (for the database rows).
void* defined_object(const char* name, int32_t kind);

// A new anonymous string with the text (in the string list); null when out of memory.
ScriptString* new_literal_string(const char* text);

// ---- Block handlers, by file --------------------------------------------------------------

int open_skill(const char* keyword);
int open_synonym(const char* keyword);
int open_palette(const char* keyword);
int open_action(const char* keyword);
int open_window(const char* keyword);
int open_map_object(const char* keyword);  // WALL, THING, ACTOR
int open_region(const char* keyword);
int open_texture(const char* keyword);
int open_panel(const char* keyword);
int open_overlay(const char* keyword);
int open_text(const char* keyword);
int open_view(const char* keyword);
int open_database(const char* keyword);  // DATABASE, DATAVIEW

int line_definition(const char* keyword);  // table A
int top_level_statement(const char* keyword);

// Block state of each file, forgotten by reset_definitions.
void reset_object_blocks();
void reset_texture_block();
void reset_display_blocks();
void reset_database_blocks();
void reset_basic_blocks();

// The screen size the VIEW clamp uses: the script's VIDEO size.
void screen_size(int32_t* width, int32_t* height);
