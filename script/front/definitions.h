// The definitions parser: the statement handlers that the script reader offers every
// statement to. One-line definitions ending in ";" (BMAP, SOUND, STRING, FONT, EACH_TICK,
// IF_ keys, ...), block definitions with their field and end handlers (SKILL, WALL, THING,
// ACTOR, REGION, ACTION, RULES, TEXTURE, PALETTE, PANEL, OVERLAY, TEXT, SYNONYM, DATABASE,
// DATAVIEW, VIEW, WINDOW), the top-level statements (paths, INCLUDE, MAPFILE, VIDEO, ...)
// and the reading of a database's data file. Objects go into the catalogue; world-level
// results into world_script (script/front/world_script.h).
//
// The parser hands work to later subsystems through definition_ops: the action compiler
// (action bodies, variables, the event slots), the world model (object definitions), audio, fonts and overlay bitmaps,
// flics, models, the display list and the database rows. Each entry starts as a small
// stand-in of this module that keeps reading going; a subsystem replaces its entries when
// it is built (assign them in install_engine_operations).
#pragma once

#include <cstdint>

#include "script/front/records.h"

// Registers the handlers in the reader's tables (table A, table B, top level). Safe to call
// again: the tables are emptied first.
void install_definition_handlers();
// Forgets the parser's block state (scratch records, open object) and the world-level
// results. Called when a world opens and between independent readings (tests, fuzzing).
void reset_definitions();

// Reader states of the blocks.
enum DefinitionState : int {
    STATE_THING = 2, STATE_WALL = 3, STATE_ACTOR = 4, STATE_TEXTURE = 5, STATE_TEXT = 6,
    STATE_ACTION = 7, STATE_REGION = 8, STATE_SKILL = 9, STATE_PANEL = 11, STATE_PALETTE = 12,
    STATE_SYNONYM = 13, STATE_DATABASE = 14, STATE_OVERLAY = 15, STATE_VIEW = 16,
};

// Marks in Region::defined: which fields a REGION definition gave.
enum RegionDefined : uint32_t {
    REGION_DEF_FLOOR_HGT = 0x1, REGION_DEF_CEIL_HGT = 0x2, REGION_DEF_FLOOR_TEX = 0x4,
    REGION_DEF_CEIL_TEX = 0x8, REGION_DEF_AMBIENT = 0x10, REGION_DEF_FLAGS = 0x20,
    REGION_DEF_CLIP_DIST = 0x40, REGION_DEF_OFFSETS = 0x80, REGION_DEF_ANGLES = 0x100,
};

struct DefinitionOps {
    // Action compiler. begin_action finds or creates the action of the name, frees an
    // earlier body and starts compiling (1, or -2 when the action cannot be made);
    // compile_statement takes one statement of the body through the reader's token cursor
    // (1, -1 after a report, -2 out of memory); end_action finishes the action at its
    // closing brace. The compiler answers the reader's braces through action_body_hooks.
    int (*begin_action)(const char* keyword, const char* name);
    int (*compile_statement)(const char* keyword);
    void (*end_action)();
    // The action compiler's operand parser for the variables of FEATURE and panel fields:
    // false after a report (an unknown name) or for a constant (no report).
    bool (*parse_variable)(const char* token, VarRef* out);

    // Where the event actions go: the slot of an IF_ keyword ("IF_START", "IF_F2",
    // "IF_TAST", ...) or null when it names none; the 16 slots of "EACH_TICK" or "EACH_SEC".
    // They start as world_script's slots.
    Action** (*event_slot)(const char* keyword);
    Action** (*event_list)(const char* keyword);

    // World model: the start and end of a WALL, THING or ACTOR block. open: the definition
    // object of the name into *object (0), or -1 (reported), -2 (out of memory). close: 0,
    // or -1 (reported: no texture); applies the definition to the other objects of the name.
    int (*open_object_definition)(const char* name, int32_t kind, bool actor, MapObject** object);
    int (*close_object_definition)(MapObject* object);

    // Audio: the SOUND and MUSIC definitions. 0, -1 (reported) or -2.
    int (*load_sound_definition)(const char* name, const char* file, int is_music);

    // 2D layer: a font cut from an image file (0 on success, else reported); an overlay
    // bitmap (1 on success, else reported); the picture of a TITLE texture from its text and
    // font (0, or -1 reported); a panel, text or overlay into the display list, ordered by
    // LAYER.
    int (*make_font)(Font* font, const char* file, int32_t glyph_width, int32_t glyph_height);
    int (*make_overlay_bitmap)(OverlayBitmap* ovly, const char* file, int32_t x, int32_t y, int32_t width,
                               int32_t height);
    int (*make_title_picture)(Texture* texture);
    void (*add_to_display_list)(DisplayHead* head);

    // Flics and models: the record filled from the file, or null (the caller reports).
    Flic* (*load_flic)(const char* file, Flic* flic);
    Model* (*load_model)(const char* file, Model* model);
    int32_t (*model_cycles)(const Model* model);  // animation frames of a loaded model

    // Databases: build one row from its template (>= 0, or -1 after reports); finish the
    // database once its data file has been read.
    int (*build_row)(DataRow* row);
    void (*finish_database)(Database* database);
};
extern DefinitionOps definition_ops;
