// The instruction keyword table, in row order: rows with the same keyword stand next to
// each other and are the keyword's overloads, chosen by the number of operands given.
#include "script/exec/compiler_internal.h"

namespace {

constexpr int32_t NUM = EXPECT_NUMBER;
constexpr int32_t ANY = EXPECT_ANY;
constexpr int32_t LBL = EXPECT_LABEL;
constexpr int32_t OBJ = KIND_OBJECT;

#define OPROW(kw, op, n, k1, k2, k3, opt) {kw, op, nullptr, n, {k1, k2, k3}, opt, 0, {nullptr, nullptr, nullptr}}
#define FILEROW(kw, op, n, k1, k2, k3, mode) \
    {kw, op, nullptr, n, {k1, k2, k3}, ROW_FILE_NAME, mode, {nullptr, nullptr, nullptr}}
#define HROW(kw, fn, n, k1, k2, opt) {kw, -1, fn, n, {k1, k2, 0}, ROW_HANDLER | (opt), 0, {nullptr, nullptr, nullptr}}

}  // namespace

const KeywordRow keyword_rows[] = {
    OPROW("ADD", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("SUB", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("ADDT", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("SIN", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("ASIN", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("SQRT", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("SIGN", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("ABS", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("RANDOMIZE", OP_RULE, 2, NUM, NUM, 0, ROW_FORMULA),
    OPROW("IF_ABOVE", OP_JUMP_ABOVE, 3, ANY, ANY, LBL, ROW_COMPARISON),
    OPROW("IF_BELOW", OP_JUMP_BELOW, 3, ANY, ANY, LBL, ROW_COMPARISON),
    OPROW("IF_EQUAL", OP_JUMP_EQUAL, 3, ANY, ANY, LBL, ROW_COMPARISON),
    OPROW("IF_NEQUAL", OP_JUMP_NEQUAL, 3, ANY, ANY, LBL, ROW_COMPARISON),
    OPROW("DO", OP_BRANCH, 1, KIND_ACTION, 0, 0, 0),
    OPROW("BRANCH", OP_BRANCH, 1, KIND_ACTION, 0, 0, 0),
    OPROW("CALL", OP_CALL, 1, KIND_ACTION, 0, 0, 0),
    OPROW("ACCEL", OP_ACCEL, 2, NUM, NUM, 0, ROW_WRITES),
    OPROW("AND", OP_AND, 2, NUM, NUM, 0, ROW_WRITES),
    OPROW("INKEY", OP_INKEY, 1, KIND_STRING, 0, 0, 0),
    HROW("FIND", handler_find, 2, KIND_TEXT, KIND_STRING, 0),
    HROW("SET_STRING", handler_set_string, 2, KIND_STRING, KIND_STRING, 0),
    HROW("ADD_STRING", handler_add_string, 2, KIND_STRING, KIND_STRING, 0),
    HROW("TO_STRING", handler_to_string, 2, KIND_STRING, NUM, 0),
    HROW("SET_INFO", handler_set_info, 2, KIND_STRING, OBJ, 0),
    FILEROW("SCREENSHOT", OP_SCREENSHOT, 2, KIND_STRING, NUM, 0, 0),
    FILEROW("SCAN", OP_FILE_REQUEST, 1, KIND_STRING, 0, 0, FILE_SCAN),
    FILEROW("LOAD", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_LOAD),
    FILEROW("SAVE", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_SAVE),
    FILEROW("SAVE_INFO", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_SAVE_INFO),
    FILEROW("LOAD_INFO", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_LOAD_INFO),
    FILEROW("SAVE_DEMO", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_SAVE_DEMO),
    FILEROW("PLAY_DEMO", OP_FILE_REQUEST, 2, KIND_STRING, NUM, 0, FILE_PLAY_DEMO),
    HROW("STOP_DEMO", handler_stop_demo, 0, 0, 0, 0),
    HROW("PUSH", handler_push, 1, NUM, 0, 0),
    OPROW("FIND_WAY", OP_FIND_WAY, 2, KIND_WAY, OBJ, 0, 0),
    HROW("STOP_SOUND", handler_stop_sound, 0, 0, 0, 0),
    OPROW("SETMIDI", OP_SETMIDI, 2, NUM, NUM, 0, 0),
    OPROW("GETMIDI", OP_GETMIDI, 2, NUM, NUM, 0, 0),
    OPROW("DELVOICE", OP_DELVOICE, 1, NUM, 0, 0, 0),
    FILEROW("LOADBANK", OP_LOADBANK, 1, KIND_STRING, 0, 0, 0),
    FILEROW("FLOADVOICE", OP_FLOADVOICE, 3, KIND_STRING, NUM, NUM, 0),
    HROW("STOP_FLIC", handler_stop_flic, 0, 0, 0, 0),
    FILEROW("PLAY_FLICFILE", OP_PLAY_FLICFILE, 1, KIND_STRING, 0, 0, 0),
    HROW("PLAY_FLIC", handler_play_flic, 1, KIND_FLIC, 0, 0),
    HROW("PRINTFILE", handler_printfile, 2, KIND_STRING, NUM, ROW_FILE_NAME),
    HROW("PRINT_STRING", handler_print_string, 1, KIND_STRING, 0, ROW_FILE_NAME),
    HROW("PRINT_VALUE", handler_print_value, 1, NUM, 0, 0),
    HROW("PLAY_CD", handler_play_cd, 2, NUM, NUM, 0),
    OPROW("FUNCTION", OP_FUNCTION, 2, NUM, NUM, 0, 0),
    OPROW("INPORT", OP_INPORT, 2, NUM, NUM, 0, 0),
    OPROW("OUTPORT", OP_OUTPORT, 2, NUM, NUM, 0, 0),
    OPROW("NOP", OP_NOP, 0, 0, 0, 0, 0),
    OPROW("END", OP_END, 0, 0, 0, 0, 0),
    OPROW("EXCLUSIVE", OP_EXCLUSIVE, 0, 0, 0, 0, 0),
    HROW("BEEP", handler_beep, 0, 0, 0, 0),
    HROW("NEXT_MY", handler_next_my, 0, 0, 0, 0),
    HROW("NEXT_THERE", handler_next_there, 0, 0, 0, 0),
    HROW("NEXT_MY_THERE", handler_next_my_there, 0, 0, 0, 0),
    HROW("GFX_CLEAR", handler_gfx_clear, 0, 0, 0, 0),
    HROW("GFX_MAP", handler_gfx_map, 0, 0, 0, 0),
    HROW("GFX_PRINT", handler_gfx_print, 0, 0, 0, 0),
    HROW("GFX_LINETO", handler_gfx_lineto, 2, NUM, NUM, 0),
    OPROW("GFX_STRING", OP_GFX_STRING, 3, NUM, NUM, KIND_STRING, 0),
    HROW("FADE_PAL", handler_fade_pal, 2, KIND_PALETTE, NUM, 0),
    {"INFLATE", -1, handler_inflate, 2, {KIND_TEXTURE, NUM, 0}, ROW_HANDLER, 0, {nullptr, "1", nullptr}},
    OPROW("TO_MAP", OP_TO_MAP, 2, NUM, NUM, 0, 0),
    HROW("EXPLODE", handler_explode, 1, OBJ, 0, 0),
    HROW("SHOOT", handler_shoot, 0, 0, 0, 0),
    HROW("SHOOT", handler_shoot_at, 1, OBJ, 0, 0),
    HROW("LOCATE", handler_locate, 0, 0, 0, 0),
    HROW("LOCATE", handler_locate_object, 1, OBJ, 0, 0),
    HROW("PLACE", handler_place, 1, OBJ, 0, ROW_NO_EFFECT),
    HROW("DROP", handler_drop, 1, OBJ, 0, 0),
    HROW("SHAKE", handler_shake, 1, OBJ, 0, 0),
    HROW("LIFT", handler_lift, 2, KIND_REGION, NUM, 0),
    HROW("TILT", handler_tilt, 2, KIND_REGION, NUM, 0),
    HROW("ROTATE", handler_rotate, 2, KIND_REGION, NUM, 0),
    HROW("BUILD", handler_build, 1, KIND_DATAVIEW, 0, 0),
    HROW("UNBUILD", handler_unbuild, 1, KIND_DATAVIEW, 0, 0),
    OPROW("PLACE_SEL", OP_PLACE_SEL, 3, KIND_DATAVIEW, OBJ, NUM, 0),
    OPROW("SHIFT", OP_SHIFT, 3, KIND_REGION, NUM, NUM, 0),
    HROW("SET_SKILL", handler_set_skill, 2, NUM, KIND_STRING, ROW_WRITES),
    OPROW("EXEC_RULES", OP_CALL, 1, KIND_ACTION, 0, 0, ROW_NO_EFFECT),
    {"MIDI_COM", OP_MIDI_COM, nullptr, 1, {NUM, NUM, NUM}, 0, 0, {nullptr, "0", "0"}},
    {"MIDI_COM", OP_MIDI_COM, nullptr, 2, {NUM, NUM, NUM}, 0, 0, {nullptr, nullptr, "0"}},
    {"MIDI_COM", OP_MIDI_COM, nullptr, 3, {NUM, NUM, NUM}, 0, 0, {nullptr, nullptr, nullptr}},
};

const int keyword_row_count = int(sizeof keyword_rows / sizeof keyword_rows[0]);
static_assert(sizeof keyword_rows / sizeof keyword_rows[0] == 86, "the keyword table has 86 rows");
