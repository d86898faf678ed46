// The WDL script reader: turns a text into statements of tokens (in place, without
// allocating per token), keeps the line count and the statement text for error reports,
// runs the preprocessor (conditional sections, whole-token defines) and drives the reading
// loop that offers every statement to the definition handlers, or, inside a block, to the
// block's field handler. It also reads whole files (and, through INCLUDE, files inside
// files), the built-in internal WDL text and the map name of a script.
//
// Handler answers: 0 not mine, 1 done, -1 error (already reported), -2 abort the reading;
// field handlers also -3 (no current object: the statement is ignored).
#pragma once

#include <cstdint>

// ---- Limits ---------------------------------------------------------------------------

constexpr int max_statement_tokens = 511;   // further tokens of a statement are dropped
constexpr int statement_text_size = 8000;   // 7999 characters and the terminator
constexpr int max_condition_levels = 63;    // nested ifdef/ifndef
constexpr int max_include_depth = 32;       // texts being read inside one another
constexpr int max_statement_handlers = 128; // per handler table

// ---- Tokens ---------------------------------------------------------------------------

enum TokenKind : int {
    TOKEN_WORD = 0,
    TOKEN_STRING = 1,
    TOKEN_OPEN_FILE = 5,   // "<"
    TOKEN_CLOSE_FILE = 6,  // ">"
};

// A token's text points into the text being read (which the reader modifies in place) or
// at a constant; it stays valid until the next statement is scanned.
struct Token {
    const char* text;
    int32_t length;
    uint8_t kind;          // TokenKind
    uint8_t before_colon;  // the token was ended by ":" (a label in an action body)
};

// ---- Reader states (reader.reader_state) ----------------------------------------------

enum ReaderStateCode : int {
    READER_TOP_LEVEL = 0,  // statements go to table A and the top-level statements
    READER_BLOCK_OPEN = 1, // a "{" opened a definition: the statement goes to table B
    // 2 and above: a definition handler set it; statements go to reader.field_handler.
    READER_ACTION_BODY = 7,
    READER_SKILL_BLOCK = 9,
};

// ---- Handlers -------------------------------------------------------------------------

// Called with the first token of the statement already taken (the keyword).
using StatementHandler = int (*)(const char* keyword);
using FieldHandler = int (*)(const char* keyword);
// Called at the "}" that closes the block.
using EndHandler = void (*)();

enum HandlerTable : int {
    TABLE_LINE_DEFINITIONS = 0,   // table A: definitions ending in ";", offered at state 0
    TABLE_BLOCK_DEFINITIONS = 1,  // table B: definitions opening a block, offered at state 1
    TABLE_TOP_LEVEL = 2,          // top-level statements, offered at state 0 after table A
};

// Appends a handler to a table; handlers are offered in the order they were added. With a
// keyword the handler is offered only statements whose first token equals it (compared
// without case); with a null keyword it is offered every statement. False when full.
bool add_statement_handler(HandlerTable table, const char* keyword, StatementHandler handler);
// Empties all three tables.
void clear_statement_handlers();

// What a block definition handler calls when it opens its block: statements now go to
// `field` until the closing "}", which calls `end` (either may be null).
void enter_block(int state, FieldHandler field, EndHandler end);

// The action compiler's side of an action body (reader_state 7). `open_block` is called
// when a statement of the body ends with "{" (before that statement is handed over);
// `close_block` for every "}" of the body: 1 when it closed a nested block, 0 when the
// brace closes the action itself. Without hooks every "}" closes the action.
struct ActionBodyHooks {
    void (*open_block)() = nullptr;
    int (*close_block)() = nullptr;
};
extern ActionBodyHooks action_body_hooks;

// ---- Defines --------------------------------------------------------------------------

enum DefineOrigin : int {
    DEFINE_SCRIPT = 0,
    DEFINE_COMMAND_LINE = 1,  // "-D": protected from script DEFINEs, survives drop_defines(0)
    DEFINE_SCOPED = 2,        // a script DEFINE made while the catalogue is in scoped mode
};

struct Define {
    char* name;
    char* value;
    int kind;    // TOKEN_WORD or TOKEN_STRING: the kind a substituted token takes
    int origin;  // DefineOrigin
    int next;    // next define in the same hash bucket, -1 at the end
};

// Adds or replaces a define. A command-line define is only replaced by another
// command-line define; any other define of its name is ignored. Returns false when ignored.
bool define(const char* name, const char* value, int kind = TOKEN_WORD, int origin = DEFINE_SCRIPT);
void undefine(const char* name);
bool is_defined(const char* name);
const Define* find_define(const char* name);  // null when not defined
int define_count();
// 0: all but the command-line defines; 2: those of origin 2; any other mode: all.
void drop_defines(int mode);

// ---- Reader state ---------------------------------------------------------------------

struct Reader {
    // The text: the reader writes a NUL after each word, so it must be writable and have
    // one spare byte after its end.
    char* read_pos = nullptr;
    char* read_end = nullptr;
    int line_number = 1;
    int statement_number = 0;

    // The current statement and its cursor.
    Token tokens[max_statement_tokens];
    int token_count = 0;
    int cursor = 0;            // index of the next token to take
    int token_kind = 0;        // kind of the token last taken (after define substitution)
    bool opens_block = false;  // the statement was ended by "{"
    bool is_label = false;     // the statement was ended by ":" in an action body
    bool spans_lines = false;  // a line break stands between two of its tokens
    char statement_text[statement_text_size] = {};
    int statement_length = 0;

    int reader_state = READER_TOP_LEVEL;
    FieldHandler field_handler = nullptr;
    EndHandler end_handler = nullptr;
    bool expect_token = false;  // a missing required token is an error
    bool raw_tokens = false;    // tokens come without define substitution

    // Condition stack: conditions[0] is the bottom level (always active); 1 = skipping.
    uint8_t conditions[max_condition_levels + 1] = {};
    int condition_top = 0;

    // File named in error reports while it is read (error_context.script_file points here).
    char file_name[64] = {};
    int include_depth = 0;      // read_text calls in progress
    bool braces_inert = false;  // "{" and "}" only end statements (the map-name reading)
};
extern Reader reader;

// Builds the class tables, empties the statement, points the condition stack at its bottom.
// Defines and handler tables are kept.
void reset_reader();
// 0, or -1 for an empty text: sets the position, line 1, state 0, clears the handlers and
// arms error reporting. `text` must hold length + 1 writable bytes.
int begin_text(char* text, int length);
// 0 when a statement was read (possibly empty), -1 at the end of the text.
int scan_statement();

// The preprocessor, for the first token of a statement: 1 when the statement is consumed
// (ifdef, ifndef, ifelse, endif, DEFINE, UNDEF, or any statement of a skipped section), 0
// when it goes on to be handled.
int preprocess(const char* keyword);

// The next token of the statement (file markers skipped, defines applied), or null.
const char* next_token();
// 0 and the token in *token, or -1 (one error report when expect_token is set).
int require_token(const char** token);
// The next token as a skill (x1024, truncated toward zero) and its integer part (value
// >> 10): 0, or -1 (missing token, or an invalid number: reported, value 0).
int read_number(int32_t* value, int32_t* integer = nullptr);
// As read_number, but a "." makes the token invalid.
int read_integer(int32_t* value, int32_t* integer = nullptr);

// Token cursor for the action compiler.
int tokens_left();                 // tokens not yet taken, file markers included
const char* peek_token();          // the next token without taking it (defines applied), or null
bool token_is_string();            // the token last taken was a string (after substitution)
bool token_before_colon();         // the token last taken was ended by ":"
// Joins the remaining tokens without separators into `out` (file markers as "<" and ">",
// strings without their quotes, defines applied to words unless raw_tokens is set) and
// takes them all: the text of a condition or a rule. Returns the length; the text is cut
// to size - 1.
int join_remaining_tokens(char* out, int size);

// Reports one error with the reader's context brought up to date.
void reader_report_error(const char* where = __builtin_FUNCTION());

// ---- Readings -------------------------------------------------------------------------

// The reading loop over one text (writable, length + 1 bytes): 0, -1 (no text, or nested
// deeper than max_include_depth: reported) or -2 (stopped after an error, or a handler
// answered -2). Nested calls (INCLUDE) save and restore the position, line and condition
// stack of the text around them; afterwards the current statement has no tokens left. A
// last statement without its ";" at the end of a text is dropped.
int read_text(char* text, int length);
// Loads the whole file (through the resource layer), names it in error reports, reads it
// and frees it. A file that cannot be read is an error report naming it (-1). Readings
// nested deeper than max_include_depth are refused with an error report (-1).
int read_file(const char* name);
// The built-in text (key handlers and helpers whose names begin with "_"), named
// "internal WDL" in error reports; 0 when the internal_wdl setting is off.
int read_internal_wdl();
const char* internal_wdl_text();
// The first reading of a script: only MAPFILE statements are looked at, with the
// preprocessor active and the script's defines set aside. 1 and the name in map_name (13
// bytes) when a MAPFILE named the map, 255 when a MAPFILE was invalid (reported), 0 when
// there was none, -1 when the file could not be read (reported).
int read_mapfile_name(const char* wdl_name, char* map_name);

// Saves and restores the position, line and condition stack of the reader around a
// reading that uses the scanner on another text (the map loader).
struct ReaderPosition {
    char* read_pos;
    char* read_end;
    int line_number;
    int condition_top;
    uint8_t conditions[max_condition_levels + 1];
};
void save_reader_position(ReaderPosition* saved);
void restore_reader_position(const ReaderPosition* saved);
