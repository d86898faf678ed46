// The records of every catalogue kind: plain structs that the definitions parser fills,
// the map loader and the world model link, and the interpreter reads and writes through
// the member tables (script/front/members.h). Every record is allocated zero-filled by the
// catalogue (new_record / create_object) and freed by release_objects; buffers hung on a
// record (pixels, texts, frame tables, element lists) are malloc'd and freed with free(),
// and the `extra` pointer of a record belongs to the subsystem that set it, which frees it
// through release_hooks.free_extra. A record's `name` is its own copy of its catalogue
// name (null for an anonymous record); `identity` fields borrow the definition's name.
//
// Numbers are 22.10 fixed point (1.0 = 1024) unless a comment says otherwise.
#pragma once

#include <cstdint>

#include "script/front/kinds.h"

struct Instruction;  // compiled code, defined by the action compiler
struct MapObject;
struct Region;
struct Font;
struct Sound;
struct Texture;
struct Flic;
struct Model;
struct DataView;
struct Database;
struct Overlay;

// ---------------------------------------------------------------------------------------
// Skills and synonyms

enum SkillFlag : uint8_t {
    SKILL_PLAYER = 0x02,  // TYPE PLAYER
    SKILL_ENGINE = 0x08,  // maintained by the engine: references carry the read-only marker
    SKILL_M2 = 0x10,      // references carry the second marker
    SKILL_LOCAL = 0x40,   // TYPE LOCAL: not stored in saved games
    SKILL_GLOBAL = 0x80,  // TYPE GLOBAL
};

constexpr int32_t SKILL_DEFAULT_MIN = -2147483647;
constexpr int32_t SKILL_DEFAULT_MAX = 2147483647;

struct Skill {
    const char* name;  // its own copy of its name (null for a scratch skill)
    int32_t value;
    int32_t minimum;
    int32_t maximum;
    uint8_t flags;     // SkillFlag bits
    int16_t slot;      // engine slot bound to this skill, -1 for none
    Skill* next;       // all skills, newest first
    int32_t number;    // creation index
};

struct Synonym {
    const char* name;
    int32_t type;     // a kind code; KIND_UNTYPED until TYPE sets it
    void* object;     // the synonym's own slot
    void** ref;       // where the reference is kept: &object, or an engine cell (world_refs)
    Synonym* next;    // all synonyms, newest first
    int32_t number;
};

// Cells that the predefined synonyms refer to. The engine keeps these current: the
// interpreter's MY and THERE are `my` and `there`; the player's region is `player_region`.
struct WorldRefs {
    void* region[8];       // REGION1 ... REGION8 (regions set by the script)
    void* player_region;   // PLAYER_REGION and HERE
    void* there;           // THERE: the region last found by a region test
    void* my;              // MY: the object whose action runs
    void* hit;             // HIT
    void* touched;         // TOUCHED
    void* touch_tex;       // TOUCH_TEX
    void* touch_reg;       // TOUCH_REG
    void* touch_text;      // TOUCH_TEXT
    void* backdrop;        // BACKDROP: the sky texture
    void* msprite;         // MSPRITE: the mouse-pointer overlay
    void* command_line;    // COMMAND_LINE: a ScriptString
};
extern WorldRefs world_refs;

// A variable reference as the action compiler's operand parser resolves it, for the record
// fields that keep one (features, panel elements). Modes as for instruction operands:
// direct (base is the cell), through a synonym (*(char**)base + offset_a) and through a
// synonym and an object pointer (*(char**)(*(char**)base + offset_a) + offset_b).
enum VarRefMode : uint8_t { VARREF_NONE = 0, VARREF_DIRECT = 1, VARREF_SYNONYM = 2, VARREF_SYNONYM_OBJECT = 3 };
struct VarRef {
    void* base;
    int32_t offset_a;
    int32_t offset_b;
    uint8_t mode;        // VarRefMode
    uint8_t value_type;  // TYPE_NUMBER, TYPE_FLAG, ... of the cell
    uint8_t markers;     // MEMBER_READ_ONLY / MEMBER_M2 of the reference
    uint32_t mask;       // flag bits for TYPE_FLAG
};

// ---------------------------------------------------------------------------------------
// Actions and strings

struct Action {
    const char* name;       // null for an anonymous action
    Instruction* first;     // null for an empty action
    Instruction* resume;    // where the next run starts
    uint32_t run_flags;     // the interpreter's marks (waiting in place, ...)
    int32_t wait_counter;   // the interpreter's in-place wait counter
    Action* next;           // all actions, newest first
    int32_t number;
};

enum StringFlag : uint32_t { STRING_SAVE = 0x1 };
struct ScriptString {
    const char* name;   // null for a literal of an action
    char* text;         // NUL-terminated, malloc'd with `capacity` bytes
    int32_t capacity;   // bytes of `text`, NUL included
    uint32_t flags;     // StringFlag
    Font* font;         // font link of a string made for a text, or null
    ScriptString* next;
    int32_t number;
};

// ---------------------------------------------------------------------------------------
// Resources: bitmaps, overlay bitmaps, palettes, fonts, flics, sounds, models

enum BitmapFlag : uint32_t { BMAP_FROZEN = 0x1, BMAP_SQUARE = 0x2 };
struct Bitmap {
    const char* name;
    int32_t width, height;   // pixels (whole numbers)
    uint8_t* pixels;         // column bitmap: columns left to right, each bottom pixel up
    uint32_t flags;          // BitmapFlag
    char file[13];           // the image file it was cut from
    int32_t src_x, src_y;    // the sub-rectangle's corner in the file (whole pixels)
    void* extra;             // renderer data (e.g. an OpenGL texture)
    Bitmap* next;
    int32_t number;
};

struct OverlayBitmap {
    const char* name;
    uint8_t* sprite;          // compiled sprite (store records ending in 0xC3)
    int32_t sprite_length;
    int32_t width, height;    // whole pixels
    uint8_t* pixels;          // the source column bitmap, when kept
    char file[13];
    void* extra;
    OverlayBitmap* next;
    int32_t number;
};

enum PaletteFlag : uint32_t { PAL_HARD = 0x1, PAL_AUTORANGE = 0x2, PAL_BLUR = 0x4 };
struct PaletteRange { int32_t first, count; };
struct Palette {
    const char* name;
    uint8_t colors[768];       // 6-bit RGB
    int32_t loaded;            // 1 once PALFILE filled `colors`
    PaletteRange ranges[24];
    int32_t range_count;
    uint32_t flags;            // PaletteFlag
    int32_t cycle;             // CYCLE: cycling speed
    void* extra;               // derived tables of the palette machinery
    Palette* next;
    int32_t number;
};

struct Font {
    const char* name;
    int32_t glyph_width, glyph_height;  // whole pixels
    int32_t glyph_count;
    int32_t glyph_columns;              // glyphs per row of the source image
    uint8_t* glyphs[256];               // compiled sprites, null for an empty slot
    uint8_t* source;                    // source column bitmap
    int32_t source_width, source_height;
    char file[13];
    void* extra;
    Font* next;
    int32_t number;
};

struct Flic {
    const char* name;
    char file[13];
    uint8_t* data;        // the whole file
    int32_t size;
    int32_t frame_count;
    int32_t width, height;
    void* extra;          // player state
    Flic* next;
    int32_t number;
};

enum SoundKind : int32_t { SOUND_NONE = 0, SOUND_DIGITAL = 1, SOUND_MIDI = 2 };
struct Sound {
    const char* name;
    char file[13];
    int32_t is_music;     // 1 for MUSIC
    int32_t length;       // file length in bytes
    int32_t audio_kind;   // SoundKind
    void* audio;          // the audio subsystem's data (freed through free_extra)
    Sound* next;
    int32_t number;
};

struct Model {
    const char* name;
    char file[13];
    void* data;           // the model record of the model loader
    Model* next;
    int32_t number;       // 1 for the first model, then the newest + 1
};

// ---------------------------------------------------------------------------------------
// Textures

enum TextureFlag : uint32_t {
    TEX_ONESHOT = 0x1, TEX_CONDENSED = 0x2, TEX_SKY = 0x4, TEX_SVIS = 0x10, TEX_SLOOP = 0x20,
    TEX_ANIMATED = 0x40, TEX_SOUNDING = 0x80, TEX_FLOOR = 0x100, TEX_GHOST = 0x200,
    TEX_SAVE = 0x400, TEX_DIAPHANOUS = 0x800, TEX_WALKING = 0x1000, TEX_NARROW = 0x2000,
    TEX_NO_CLIP = 0x4000, TEX_BEHIND = 0x8000, TEX_SHADOW = 0x10000, TEX_REFLECT = 0x20000,
    TEX_ROPE = 0x20000, TEX_LIGHTMAP = 0x40000, TEX_CLIP = 0x80000, TEX_FLIC = 0x100000,
    TEX_TITLE = 0x200000, TEX_MODEL = 0x400000, TEX_STANDBY = 0x800000, TEX_WIRE = 0x1000000,
    TEX_CLUSTER = 0x2000000,
};

// Frame table entry: the frame of side s and cycle c is entry s * cycles + c.
constexpr uint32_t FRAME_DELAY_MASK = 0x3FFFFFFF;
constexpr uint32_t FRAME_MIRROR = 0x40000000;  // read from entry s for side s
constexpr uint32_t FRAME_SOUND = 0x80000000;   // read from entry c for cycle c
struct TextureFrame {
    uint32_t delay;       // delay in animation steps | FRAME_MIRROR | FRAME_SOUND
    Bitmap* bitmap;
    int32_t offset_x, offset_y;
};

struct Texture {
    const char* name;
    uint32_t flags;              // TextureFlag
    int32_t sides, cycles;       // whole numbers, at least 1 once defined
    TextureFrame* frames;        // sides * cycles entries, malloc'd
    int32_t frame_count;
    int32_t* pending_delays;     // DELAY values kept until BMAPS follows (malloc'd)
    int32_t pending_delay_count;
    int32_t random;              // RANDOM
    int32_t scale_x, scale_y;    // SCALE_X, SCALE_Y
    int32_t ambient, albedo, radiance;
    int32_t pos_x, pos_y;
    int32_t far_dist, far_color, map_color;
    Font* font;
    Action* if_touch;
    Action* if_release;
    Action* if_klick;
    ScriptString* touch;
    ScriptString* title;
    Texture* attach;
    Sound* sound;
    int32_t svol, sdist, svdist;
    int32_t scycle;              // whole number
    Flic* flic;
    Model* model;
    Bitmap* scaled;              // INFLATE's scaled copy of the first frame (malloc'd, with
                                 // malloc'd pixels; in no list)
    uint32_t state;              // renderer and animation marks (scalable, keep, ...)
    void* extra;
    Texture* next;
    int32_t number;
};

// ---------------------------------------------------------------------------------------
// The level: vertices, regions, map objects, ways

struct Vertex {
    int32_t number;       // 0 for the first vertex of the level, then consecutive
    Vertex* next;         // newest first
    int32_t x, y, z;
    int32_t view[4];      // camera-space values of the renderer
    int32_t view_distance;
};

// Region flag word.
enum RegionFlag : uint32_t {
    REGION_PLAY_F = 0x2, REGION_BASE = 0x10, REGION_HERE = 0x100, REGION_SEEN = 0x200,
    REGION_VISIBLE = 0x400, REGION_STICKY = 0x800, REGION_FLAG1 = 0x1000,
    REGION_FLOOR_ASCEND = 0x100000, REGION_FLOOR_DESCEND = 0x200000,
    REGION_CEIL_ASCEND = 0x400000, REGION_CEIL_DESCEND = 0x800000, REGION_SAVE = 0x1000000,
    REGION_PLAY_C = 0x8000000, REGION_SAVE_ALL = 0x20000000,
};

struct Region {
    int32_t number;            // 0.. in creation order
    Region* next;              // the level's region list
    const char* identity;      // catalogue name of its definition
    MapObject* objects;        // things and walls whose stack base this is
    MapObject* right_walls;    // walls whose right-side stack base this is

    // Member block, in the order saved games store it.
    int32_t floor_hgt;
    int32_t ceil_hgt;
    int32_t ceil_offs_x, ceil_offs_y;
    int32_t floor_offs_x, floor_offs_y;
    int32_t ambient;
    uint32_t flags;            // RegionFlag
    int32_t floor_cycle;
    int32_t floor_anim;        // floor animation word
    int32_t ceil_anim;         // ceiling animation word
    int32_t floor_angle;
    int32_t ceil_cycle;
    int32_t ceil_angle;
    int32_t skill[8];          // SKILL1 ... SKILL8
    // End of the saved block.

    int32_t foot_hgt;
    int32_t clip_dist;
    uint32_t feature_marks;    // bit n: skill slot n holds a feature
    int32_t* feature[8];       // FEATURE1 ... FEATURE8: the variable's cell
    VarRef feature_ref[8];     // the same references as the parser resolved them

    Texture* floor_tex;
    Texture* ceil_tex;
    Texture* texture[4];       // TEXTURE1 ... TEXTURE4
    Action* do_action;         // DO
    Action* if_enter;
    Action* if_leave;
    Action* if_dive;
    Action* if_arise;          // also EACH_CYCLE_F
    Action* each_tick;
    Action* each_cycle;        // also EACH_CYCLE_C
    MapObject* genius;         // GENIUS
    Region* below;             // BELOW (set by the script)
    Region* above;             // ABOVE (set by the script)
    Region* top;               // TOP: the stack base
    int32_t stack_position;
    Region* same_kind;         // next instance with the same identity
    Region* instance_chain;    // instances made from the same catalogue region

    double def_floor_hgt;      // FLOOR_HGT / CEIL_HGT of the definition, decimal
    double def_ceil_hgt;
    uint32_t defined;          // which definition fields were given (parser's bits)
    uint32_t status;           // changed / restart marks of the animation, sky marks, ...
    int32_t floor_countdown, floor_time_factor;
    int32_t ceil_countdown, ceil_time_factor;
    Bitmap* floor_bitmap;      // the bitmaps shown now
    Bitmap* ceil_bitmap;
    void* extra;
};

// Object flag word (walls, things, actors).
enum ObjectFlag : uint32_t {
    OBJ_THING = 0x1, OBJ_PLAY = 0x2, OBJ_ONESHOT = 0x2, OBJ_TRANSPARENT = 0x4,
    OBJ_CAREFULLY = 0x8, OBJ_GROUND = 0x10, OBJ_PORTCULLIS = 0x10, OBJ_ACTOR = 0x20,
    OBJ_INVISIBLE = 0x40, OBJ_NODE = 0x40, OBJ_FAR = 0x80, OBJ_HOLD = 0x80,
    OBJ_PASSABLE = 0x100, OBJ_SEEN = 0x200, OBJ_VISIBLE = 0x400, OBJ_BERKELEY = 0x800,
    OBJ_FLAG1 = 0x1000, OBJ_SENSITIVE = 0x100000, OBJ_FRAGILE = 0x200000,
    OBJ_LIBER = 0x400000, OBJ_CLIPPED = 0x800000, OBJ_SAVE = 0x1000000,
    OBJ_CURTAIN = 0x2000000, OBJ_MOVED = 0x2000000, OBJ_FENCE = 0x4000000,
    OBJ_CANDELABER = 0x4000000, OBJ_IMMATERIAL = 0x8000000, OBJ_MASTER = 0x10000000,
    OBJ_IMPASSABLE = 0x20000000,
};

// Target codes (the value of TARGET).
enum TargetCode : int32_t {
    TARGET_NONE = 0, TARGET_FOLLOW = 1, TARGET_REPEL = 2, TARGET_HOLD = 3, TARGET_BULLET = 4,
    TARGET_MOVE = 5, TARGET_PLACE = 8, TARGET_WAY = 9, TARGET_OBJECT = 10, TARGET_VERTEX = 11,
};

// Defaults of a new map object (22.10).
constexpr int32_t MAPOBJ_DEFAULT_SIZE = 16 * 1024;
constexpr int32_t MAPOBJ_DEFAULT_DISTANCE = 1000 * 1024;

struct MapObject {
    int32_t number;            // 1.. in creation order
    const char* identity;      // catalogue name of its definition, or "DBASEOBJ"
    MapObject* next;           // the level's object list, newest first
    Vertex* vertex1;           // walls: start vertex; things: the position
    Vertex* vertex2;           // walls: end vertex
    Region* region;            // things: the region; walls: the left region
    Region* right_region;      // walls: the right region
    Overlay* overlay;          // things and actors: OVERLAY

    // Member block from SIZE_X, in the order saved games store it (29 words).
    int32_t size_x;
    int32_t size_y;
    int32_t angle;             // things: ANGLE; walls: LENGTH
    int32_t target_x;          // also REL_ANGLE
    int32_t target_y;          // also REL_DIST
    uint32_t flags;            // ObjectFlag
    int32_t target_mark;
    int32_t waypoint;
    int32_t target;            // TargetCode
    int32_t height;            // things: HEIGHT; walls: POSITION
    int32_t speed;
    int32_t vspeed;
    int32_t dist;
    int32_t result;
    int32_t skill[8];          // SKILL1 ... SKILL8
    int32_t cycle;
    int32_t offset_x;          // walls
    int32_t offset_y;          // walls
    int32_t distance;          // DISTANCE: to the player, kept by the renderer
    int32_t aspeed;            // actors: ASPEED
    int32_t map_color;         // whole number
    uint32_t feature_marks;    // bit n: skill slot n holds a feature
    // End of the saved block.

    int32_t floor_hgt;         // things: FLOOR_HGT under the thing (placement)
    int32_t ambient;
    int32_t base_offset_x;     // walls: the definition's offsets
    int32_t base_offset_y;
    int32_t node;              // actors standing for a network node: 0..3, else -1
    int32_t* feature[8];       // FEATURE1 ... FEATURE8: the variable's cell
    VarRef feature_ref[8];
    Texture* texture;
    Texture* attach;
    Action* if_near;
    Action* if_far;
    Action* each_cycle;
    Action* if_hit;
    Action* each_tick;
    Action* if_arrived;
    void* target_object;       // MapObject* (TARGET_OBJECT) or Way* (TARGET_WAY)
    int32_t way_step;          // -1 before the first point
    int32_t wall_slope;
    MapObject* region_next;    // next in the object list of its (left) stack base
    MapObject* right_next;     // walls: next in the right-wall list of the right base
    uint32_t status;           // event, animation and placement marks of the world
    int32_t countdown;         // texture animation
    int32_t time_factor;
    int32_t frame_base;        // side * cycles of the frame shown
    Bitmap* bitmap;            // the bitmap shown now
    uint8_t status_byte;       // 0x40: draw mirrored
    void* extra;
};

struct Way {
    const char* name;
    int32_t point_count;
    int32_t* points;          // point_count (x, y) pairs, malloc'd
    Way* next;
    int32_t number;           // 1.. in creation order
};

// ---------------------------------------------------------------------------------------
// The display list: panels, texts and overlays share one list ordered by layer; each entry
// starts with a DisplayHead that carries its kind (KIND_PANEL, KIND_TEXT, KIND_OVERLAY).

struct DisplayHead {
    DisplayHead* next_display;  // the display list
    int32_t kind;
    const char* name;
    int32_t number;
    int32_t listed;             // 1 while in the display list
};

enum DisplayFlag : uint32_t { DISPLAY_VISIBLE = 0x4000 };

struct OverlayFrame { int32_t delay; OverlayBitmap* bitmap; };
enum OverlayFlag : uint32_t { OVERLAY_ABSPOS = 0x10 };
struct Overlay {
    DisplayHead head;
    int32_t pos_x, pos_y;
    int32_t layer;
    uint32_t flags;           // OverlayFlag | DISPLAY_VISIBLE
    int32_t sides, side, cycles;
    OverlayFrame* frames;     // sides * cycles entries, malloc'd
    int32_t frame_count;
    int32_t size_x, size_y;   // the first frame's size (also SCALE_X, SCALE_Y)
    int32_t current_frame;
    uint8_t* current_sprite;
    int32_t countdown;
    void* extra;
};

enum TextFlag : uint32_t {
    TEXT_CONDENSED = 0x2, TEXT_CENTER_X = 0x4, TEXT_CENTER_Y = 0x8, TEXT_NARROW = 0x2000,
};
struct Text {
    DisplayHead head;
    int32_t pos_x, pos_y;
    int32_t layer;
    uint32_t flags;           // TextFlag | DISPLAY_VISIBLE
    Font* font;
    ScriptString* string;     // the string shown
    ScriptString** strings;   // STRINGS slots, malloc'd
    int32_t string_count;
    int32_t index;            // INDEX
    int32_t size_y;           // SIZE_Y
    int32_t offset_y;         // OFFSET_Y
    int32_t lines;            // LINES
    int32_t scale_x, scale_y; // the font's glyph size
    int32_t viewpos;          // VIEWPOS
    DataView* dataview;
    void* extra;
};

enum PanelElementKind : int32_t {
    ELEM_BUTTON = 0, ELEM_HSLIDER, ELEM_VSLIDER, ELEM_PICTURE, ELEM_WINDOW, ELEM_HBAR,
    ELEM_VBAR, ELEM_DIGITS, ELEM_MTEXT, ELEM_KIND_COUNT,
};
struct PanelElement {
    PanelElement* next;        // next element of the same kind, in script order
    int32_t kind;              // PanelElementKind
    int32_t x, y;              // whole pixels relative to the panel
    int32_t length;            // sliders, bars; DIGITS: the digit count
    int32_t width, height;     // WINDOW
    Bitmap* bitmap[3];         // BUTTON: pressed, normal; sliders: knob; MTEXT: over, pressed
    Font* font;
    Texture* texture;          // PICTURE
    ScriptString* string;      // MTEXT
    Action* action[2];         // BUTTON: click, release; MTEXT: action
    Skill* skill;              // sliders
    VarRef var[2];             // PICTURE, WINDOW, HBAR, VBAR, DIGITS
    int32_t factor;
    int32_t redraw;            // redraw counter
    int32_t state[4];          // press counter, marks, last knob offset, ... (drawer's)
    int64_t scale[2];          // sliders: pixels per unit, units per pixel
    const void* last_drawn;    // last bitmap drawn
};

enum PanelFlag : uint32_t {
    PANEL_REFRESH = 0x1, PANEL_TRANSPARENT = 0x8, PANEL_RELPOS = 0x10, PANEL_REDRAW = 0x40,
    PANEL_DREW = 0x80,
};
struct Panel {
    DisplayHead head;
    int32_t pos_x, pos_y;
    int32_t layer;
    uint32_t flags;            // PanelFlag | DISPLAY_VISIBLE
    Bitmap* pan_map;
    Bitmap* mask;
    Action* if_klick;
    Overlay* msprite;
    int32_t size_x, size_y;    // whole pixels
    int32_t redraw;
    int32_t last_x, last_y;
    PanelElement* elements[ELEM_KIND_COUNT];
    void* extra;
};

// ---------------------------------------------------------------------------------------
// Views, databases and data views

struct View {
    const char* name;
    uint32_t flags;            // DISPLAY_VISIBLE
    void* genius;              // GENIUS: a map object
    int32_t pos_x, pos_y;
    int32_t size_x, size_y;
    int32_t layer;
    void* extra;
    View* next;
    int32_t number;
};

enum DataColumnKind : int32_t {
    COLUMN_BUILDING = 1, COLUMN_POS_X = 12, COLUMN_POS_Y = 25, COLUMN_STRING = 7,
    COLUMN_BMAP = 13, COLUMN_FLIC = 11, COLUMN_SOUND = 15,
};
struct DataColumn {
    char name[32];
    int32_t kind;              // DataColumnKind
    int32_t index;
};

struct DataRow {
    DataRow* next;
    char template_name[13];    // BUILDING file, empty when the row builds nothing
    double pos_x, pos_y;       // map units
    void** values;             // one per column (malloc'd)
    MapObject* newest;         // the row's objects: a chain through their next links
    MapObject* oldest;
    int32_t highest_number;
    int32_t object_count;
    Vertex* newest_vertex;     // the row's vertices, likewise
    Vertex* oldest_vertex;
    uint32_t flags;            // built, row-local marks
};

struct Database {
    Database* next;
    const char* name;
    int32_t number;            // 1 for the first database of the world
    char data_file[13];
    DataRow* rows;
    int32_t row_count;
    DataColumn* columns;       // malloc'd
    int32_t column_count;
    char separator;            // ',' when none was given
    int32_t* vertex_copy;      // (x, y) pairs, malloc'd
    int32_t vertex_copy_count;
    int32_t vertex_mark;
    void* extra;
};

struct DataView {
    const char* name;
    MapObject* genius;
    Database* database;
    uint8_t* selection;        // one byte per row, malloc'd
    int32_t selection_count;
    uint32_t flags;
    void* extra;
    DataView* next;
    int32_t number;
};
