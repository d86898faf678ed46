// The object catalogue: one name table that maps a name and a kind to an object record,
// plus one list per kind. The script front end fills it, the map loader adds walls,
// things, actors, regions and ways, the action compiler resolves names through it, and
// every subsystem reaches objects through it and frees them by category.
//
// Names consist of letters, digits and "_", at most 30 characters (longer with
// settings.compat368), and are compared without case. The table has 1280 buckets of
// entries, newest first. An entry may exist before its object (forward references).
//
// Also offered through this header: the kind codes (kinds.h), every record (records.h),
// the member tables (members.h), the engine variables and their slots (engine_vars.h),
// the loading mode (load_mode.h) and the input-state cells (input_cells.h).
#pragma once

#include <cstdint>

#include "script/front/engine_vars.h"
#include "script/front/input_cells.h"
#include "script/front/kinds.h"
#include "script/front/load_mode.h"
#include "script/front/members.h"
#include "script/front/records.h"

constexpr int NAME_BUCKETS = 1280;
constexpr int NAME_MAX_LENGTH = 30;  // without compat368

enum NameFlag : uint8_t {
    NAME_REFERENCED = 0x01,  // found by a lookup
    NAME_HIDDEN = 0x80,      // hidden by a later definition of higher rank (v308)
};

struct NameEntry {
    NameEntry* next;   // next entry of the bucket
    char* name;        // the name as first written (stored with the entry)
    uint8_t flags;     // NameFlag
    int32_t kind;
    void* object;      // null until the object exists
    int32_t scope;     // 0 = global
    uint32_t hash;     // the whole name folded to lower case: other names of the bucket are
                       // passed over without comparing them character by character
};

struct NameTable {
    NameEntry** buckets;   // NAME_BUCKETS heads, made on first use; null when empty
    int32_t entry_count;
};
extern NameTable name_table;

// Process-wide state of the catalogue: the current entry, the scoped mode and the lists
// by kind (each newest first, through the record's own `next` link).
struct Catalogue {
    NameEntry* current_entry;  // the entry that the last declare_name made or found
    int32_t scoped;            // 1 in scoped mode
    int32_t scope;             // current scope number in scoped mode
    int32_t last_scope;        // the scope number handed out last
    int32_t preferred_kind;    // set by the action compiler: entries of this kind first
    char bad_char;             // the character that made the last name invalid

    Skill* skills;
    Synonym* synonyms;
    Action* actions;
    ScriptString* strings;
    Bitmap* bitmaps;
    OverlayBitmap* overlay_bitmaps;
    Texture* textures;
    Sound* sounds;             // sounds and music
    Font* fonts;
    Palette* palettes;
    Flic* flics;
    Model* models;
    DisplayHead* display;      // panels, texts and overlays
    View* views;
    MapObject* objects;        // walls, things, actors of the level
    Region* regions;
    Vertex* vertices;
    Way* ways;
    Database* databases;
    DataView* dataviews;

    // Creation counters (the next record's number for each kind).
    int32_t skill_count, synonym_count, action_count, string_count, bitmap_count,
        overlay_bitmap_count, texture_count, sound_count, font_count, palette_count,
        flic_count, model_count, display_count, view_count, object_count, region_count,
        vertex_count, way_count, database_count, dataview_count;

    char* pending_message;     // a message text (malloc'd) printed when the world is released
};
extern Catalogue catalogue;

// ---------------------------------------------------------------------------------------
// Names

// Bucket of a name: the sum of the first 20 character codes, letters counted in lower
// case; a sum above 1280 loses 1280 once; at most 1279.
int name_bucket(const char* name);
// 0 when the name is valid; -1 after noting the offending character in
// catalogue.bad_char (0 for an empty or overlong name). Reports nothing.
int check_name(const char* name);

// 0: a new entry was made; -1: an entry exists already (it becomes the current entry) or
// the name is invalid or of another kind (reported); -2: out of memory.
int declare_name(const char* name, int32_t kind, void* object);
// The entry with an object, or null. Kind 0 finds any kind; an entry of another kind is
// one error report and null. Marks the entry referenced.
NameEntry* find_name(const char* name, int32_t kind);
// The object, or null; a missing name is an error report.
void* find_object(const char* name, int32_t kind);
// The entry of exactly this kind (with or without its object), or null; reports nothing.
NameEntry* find_name_of_kind(const char* name, int32_t kind);
// The first visible entry of the name in the current scope order, with or without its
// object, of any kind; reports nothing.
NameEntry* lookup_name(const char* name);
// Unlinks the first matching visible entry and frees it, and its object when asked.
void remove_name(const char* name, bool free_object);

// Scoped mode (database and map objects): entries made while it is on carry the scope
// number; lookups try the current scope first, then global entries.
int32_t begin_scope();      // switches scoped mode on with the next scope number
void end_scope();           // back to global mode
void set_scope(int32_t scope);  // scoped mode with this number (0 leaves scoped mode)

// ---------------------------------------------------------------------------------------
// Records

// A zero-filled record of the kind with its defaults, numbered and linked at the head of
// its list; not named. For KIND_THING the record is a thing (flag THING). Null when out
// of memory or for a kind without records (KIND_OBJECT, KIND_NONE).
void* new_record(int32_t kind);
// Declares the name and gives its entry an object when it has none yet: a new record of
// the kind (new_record). *out receives the object. 0: made now; 1: the object existed;
// -1: invalid name or kind clash (reported); -2: out of memory.
int create_object(const char* name, int32_t kind, void** out);
// Frees one record of a kind and what it owns (after unlinking it from its list).
void free_record(int32_t kind, void* record);
// A map object made by the map loader: a new record (KIND_WALL or KIND_THING) whose name is
// declared; the first object of a name becomes its entry's object, and every object's
// identity is the entry's name. Null after an invalid name or a kind clash (reported; no
// object is left behind) or when out of memory.
MapObject* new_map_object(const char* name, int32_t kind);
// A new vertex at the head of the level's vertex list, numbered from 0. Null: no memory.
Vertex* new_vertex(int32_t x, int32_t y, int32_t z);
// The record's own name, or null (map objects and regions: see their `identity`).
const char* record_name(int32_t kind, const void* record);
// The display kind of a display record (KIND_PANEL, KIND_TEXT, KIND_OVERLAY).
inline int32_t display_kind(const DisplayHead* head) { return head->kind; }

// Sets a string object's text, growing its buffer when needed. 0, or -2 out of memory.
int set_string_text(ScriptString* string, const char* text);

// ---------------------------------------------------------------------------------------
// Skills and synonyms

// Declares a skill; a new name gets a fresh record with the defaults (value 0, minimum
// -2147483647, maximum 2147483647, flags 0). An existing skill is reset to the defaults
// only while the loading mode allows redefinition. 0 new, -1 existed or error, -2 memory.
// The skill is catalogue.current_entry->object afterwards (when not an error).
int create_skill(const char* name);
// The skill of a name, or null (no report).
Skill* find_skill(const char* name);
// Resets a skill to the defaults (value, minimum, maximum; flags kept).
void reset_skill(Skill* skill);

// Declares the predefined synonyms with their types and references. 1, or negative.
int create_predefined_synonyms();

// Converts a script literal to 22.10: multiplied by 1024, truncated toward zero, clamped to
// the int32 range.
int32_t fixed_from_double(double value);
// strtod of the text, converted as above; *end (when given) receives the end of the number.
int32_t fixed_from_text(const char* text, const char** end = nullptr);

// ---------------------------------------------------------------------------------------
// Release

enum ReleaseCategory : uint32_t {
    RELEASE_ALL = 0x1,          // defines, demo, network, resource archive
    RELEASE_LOCAL = 0x2,        // LOCAL skills
    RELEASE_GLOBAL = 0x4,       // GLOBAL skills
    RELEASE_WORLD = 0x8,        // level, objects, actions, display list, palettes, strings
    RELEASE_SKILLS = 0x20,      // untyped and PLAYER skills (see release_objects)
    RELEASE_RESOURCES = 0x100,  // sounds, music, bitmaps, fonts, flics, overlay bitmaps
    RELEASE_EVERYTHING = 0x12F,
};

// Operations of other subsystems that the release calls; each may be null (skipped).
// The subsystems install them when they start.
struct ReleaseHooks {
    void (*stop_sounds)();              // stop all sounds and music
    void (*stop_flic)();                // stop the full-screen flic player
    void (*cancel_pending_runs)();      // the interpreter's queues and waits
    void (*relink_rows)();              // databases: link built rows back into the level
    void (*release_level)();            // the level and view records (screen, actor table)
    void (*free_instructions)(Action*); // an action's compiled code
    void (*drop_defines)(int mode);     // the script reader's defines (0: the world's)
    void (*release_bitmap_cache)();
    void (*stop_demo)();
    void (*close_network)();
    void (*close_archive)();
    // Frees the subsystem data a record carries (`extra`, a sound's `audio`, a model's
    // `data`); called for every record freed that has any.
    void (*free_extra)(int32_t kind, void* record);
};
extern ReleaseHooks release_hooks;

// Frees objects by category (see ReleaseCategory); safe to repeat.
void release_objects(uint32_t categories);
// release_objects(RELEASE_EVERYTHING); installed as error_context.release_everything.
void release_everything();

// Installs the release in the error context and makes the catalogue ready; safe to call
// again. Does not free anything.
void catalogue_init();
// Releases everything and returns the catalogue to its start-up state (tests, world close).
void catalogue_reset();
