// Releasing catalogue objects by category: skills by type, names by kind, the world and the
// resources, repeated releases, the hooks of other subsystems and the error context.
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue_fixture.h"
#include "engine/console.h"

using CatalogueRelease = CatalogueTest;

static void* make(const char* name, int32_t kind) {
    void* object = nullptr;
    return create_object(name, kind, &object) >= 0 ? object : nullptr;
}

static Skill* skill(const char* name, uint8_t flags) {
    EXPECT_EQ(create_skill(name), 0);
    Skill* s = (Skill*)catalogue.current_entry->object;
    s->flags = flags;
    return s;
}

TEST_F(CatalogueRelease, SkillsGoByTypeAndCategory) {
    struct Case {
        uint32_t categories;
        const char* removed;  // the skills that go, in the order U P L G GL GP
    } cases[] = {
        {0x00, "......"}, {0x02, "..L.X."}, {0x04, "...GXX"}, {0x06, "..LGXX"},
        {0x20, "UP...."}, {0x22, "UPL.XX"}, {0x24, "UP.GXX"}, {0x26, "UPLGXX"},
        {0x12F, "UPLGXX"},
    };
    static const char* const names[] = {"S_U", "S_P", "S_L", "S_G", "S_GL", "S_GP"};
    static const uint8_t flags[] = {0, SKILL_PLAYER, SKILL_LOCAL, SKILL_GLOBAL,
                                    SKILL_GLOBAL | SKILL_LOCAL, SKILL_GLOBAL | SKILL_PLAYER};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.categories);
        catalogue_reset();
        for (int i = 0; i < 6; i++) skill(names[i], flags[i]);
        release_objects(c.categories);
        int kept = 0;
        for (int i = 0; i < 6; i++) {
            bool gone = c.removed[i] != '.';
            SCOPED_TRACE(names[i]);
            EXPECT_EQ(find_skill(names[i]) == nullptr, gone);
            EXPECT_EQ(lookup_name(names[i]) == nullptr, gone);
            kept += !gone;
        }
        int listed = 0;
        for (Skill* s = catalogue.skills; s; s = s->next) listed++;
        EXPECT_EQ(listed, kept);
    }
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueRelease, NamesGoByKind) {
    static const struct {
        const char* name;
        int32_t kind;
        bool world;     // goes with 0x8
        bool resource;  // goes with 0x100
    } objects[] = {
        {"A_FONT", KIND_FONT, false, true},      {"A_FLIC", KIND_FLIC, false, true},
        {"A_BMAP", KIND_BMAP, false, true},      {"A_SOUND", KIND_SOUND, false, true},
        {"A_OVLY", KIND_OVLY, false, true},      {"A_TEX", KIND_TEXTURE, true, false},
        {"A_ACTION", KIND_ACTION, true, false},  {"A_REGION", KIND_REGION, true, false},
        {"A_WALL", KIND_WALL, true, false},      {"A_THING", KIND_THING, true, false},
        {"A_STRING", KIND_STRING, true, false},  {"A_PANEL", KIND_PANEL, true, false},
        {"A_TEXT", KIND_TEXT, true, false},      {"A_OVERLAY", KIND_OVERLAY, true, false},
        {"A_VIEW", KIND_VIEW, true, false},      {"A_WAY", KIND_WAY, true, false},
        {"A_PAL", KIND_PALETTE, true, false},    {"A_DB", KIND_DATABASE, true, false},
        {"A_DV", KIND_DATAVIEW, true, false},    {"A_MODEL", KIND_MODEL, true, false},
        {"A_SYN", KIND_SYNONYM, true, false},
    };
    for (uint32_t categories : {0x8u, 0x100u, 0x108u}) {
        SCOPED_TRACE(categories);
        catalogue_reset();
        for (const auto& o : objects) ASSERT_NE(make(o.name, o.kind), nullptr) << o.name;
        skill("A_SKILL", 0);
        release_objects(categories);
        for (const auto& o : objects) {
            SCOPED_TRACE(o.name);
            bool gone = (o.world && (categories & 0x8)) || (o.resource && (categories & 0x100));
            EXPECT_EQ(lookup_name(o.name) == nullptr, gone);
        }
        EXPECT_NE(find_skill("A_SKILL"), nullptr);  // untyped skills need 0x20
    }
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueRelease, WorldListsAreEmptiedAndNumberingRestarts) {
    MapObject* wall = (MapObject*)make("W1", KIND_WALL);
    wall->vertex1 = new_vertex(0, 0, 0);
    wall->vertex2 = new_vertex(1024, 0, 0);
    Way* way = (Way*)make("ROUTE", KIND_WAY);
    way->points = (int32_t*)std::calloc(4, sizeof(int32_t));
    way->point_count = 2;
    Texture* tex = (Texture*)make("T1", KIND_TEXTURE);
    tex->frames = (TextureFrame*)std::calloc(2, sizeof(TextureFrame));
    tex->frame_count = 2;
    Panel* panel = (Panel*)make("P1", KIND_PANEL);
    PanelElement* button = (PanelElement*)std::calloc(1, sizeof(PanelElement));
    panel->elements[ELEM_BUTTON] = button;
    Text* text = (Text*)make("TX1", KIND_TEXT);
    text->strings = (ScriptString**)std::calloc(3, sizeof(ScriptString*));
    Database* db = (Database*)make("DB1", KIND_DATABASE);
    db->rows = (DataRow*)std::calloc(1, sizeof(DataRow));
    db->rows->values = (void**)std::calloc(2, sizeof(void*));
    db->columns = (DataColumn*)std::calloc(2, sizeof(DataColumn));
    ScriptString* literal = (ScriptString*)new_record(KIND_STRING);
    set_string_text(literal, "anonymous");
    ASSERT_EQ(create_predefined_synonyms(), 1);
    world_refs.my = wall;

    release_objects(RELEASE_WORLD);
    EXPECT_EQ(catalogue.objects, nullptr);
    EXPECT_EQ(catalogue.vertices, nullptr);
    EXPECT_EQ(catalogue.ways, nullptr);
    EXPECT_EQ(catalogue.textures, nullptr);
    EXPECT_EQ(catalogue.display, nullptr);
    EXPECT_EQ(catalogue.databases, nullptr);
    EXPECT_EQ(catalogue.strings, nullptr);
    EXPECT_EQ(catalogue.synonyms, nullptr);
    EXPECT_EQ(world_refs.my, nullptr);  // no cell keeps a freed object
    EXPECT_EQ(world_refs.command_line, nullptr);
    EXPECT_EQ(name_table.entry_count, 0);
    EXPECT_EQ(name_table.buckets, nullptr);  // freed with its last entry

    MapObject* again = (MapObject*)make("W1", KIND_WALL);
    EXPECT_EQ(again->number, 1);
    EXPECT_EQ(new_vertex(0, 0, 0)->number, 0);
}

TEST_F(CatalogueRelease, RepeatedReleaseIsHarmless) {
    ASSERT_EQ(create_engine_variables(), 0);
    ASSERT_EQ(create_predefined_synonyms(), 1);
    Bitmap* bmap = (Bitmap*)make("PIC", KIND_BMAP);
    bmap->pixels = (uint8_t*)std::malloc(64);
    Font* font = (Font*)make("FNT", KIND_FONT);
    font->glyphs[65] = (uint8_t*)std::malloc(8);
    for (int i = 0; i < 3; i++) {
        release_objects(RELEASE_WORLD);
        release_objects(RELEASE_RESOURCES);
        release_everything();
    }
    EXPECT_EQ(catalogue.skills, nullptr);
    EXPECT_EQ(catalogue.bitmaps, nullptr);
    EXPECT_EQ(catalogue.fonts, nullptr);
    EXPECT_EQ(name_table.buckets, nullptr);
    EXPECT_EQ(errors(), 0);
    // The catalogue works again afterwards.
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(var_value(SLOT_TIME_CORR), 1024);
}

TEST_F(CatalogueRelease, KeptResourcesSurviveAReload) {
    Sound* sound = (Sound*)make("BANG", KIND_SOUND);
    ASSERT_NE(sound, nullptr);
    load_mode = LOAD_REDEFINE;
    release_objects(RELEASE_RESOURCES | RELEASE_WORLD);
    EXPECT_EQ(find_object("BANG", KIND_SOUND), sound);
    load_mode = 0;
    release_objects(RELEASE_RESOURCES);
    EXPECT_EQ(lookup_name("BANG"), nullptr);
    EXPECT_EQ(catalogue.sounds, nullptr);
}

static std::string calls;
static void note(const char* what) { calls += what; }

TEST_F(CatalogueRelease, OtherSubsystemsAreAskedInOrder) {
    calls.clear();
    release_hooks.stop_sounds = [] { note("sounds "); };
    release_hooks.stop_flic = [] { note("flic "); };
    release_hooks.cancel_pending_runs = [] { note("runs "); };
    release_hooks.relink_rows = [] { note("rows "); };
    release_hooks.release_level = [] { note("level "); };
    release_hooks.free_instructions = [](Action* a) { note(a->name); note(" "); };
    release_hooks.release_bitmap_cache = [] { note("cache "); };
    release_hooks.stop_demo = [] { note("demo "); };
    release_hooks.close_network = [] { note("net "); };
    release_hooks.close_archive = [] { note("archive "); };
    release_hooks.free_extra = [](int32_t kind, void* record) {
        note(kind_name(kind));
        note(" ");
        if (kind == KIND_SOUND) {
            std::free(((Sound*)record)->audio);
            ((Sound*)record)->audio = nullptr;
        }
    };
    make("GO", KIND_ACTION);
    Sound* sound = (Sound*)make("BANG", KIND_SOUND);
    sound->audio = std::malloc(16);

    release_objects(0);
    EXPECT_EQ(calls, "sounds flic runs ");
    calls.clear();
    release_everything();
    EXPECT_EQ(calls, "sounds flic runs rows level GO SOUND cache demo net archive ");
}

TEST_F(CatalogueRelease, PendingMessageIsPrintedOnce) {
    catalogue.pending_message = (char*)std::malloc(32);
    std::strcpy(catalogue.pending_message, "Game over");
    char buffer[256] = {};
    ConsoleCapture capture = {buffer, sizeof buffer, 0, false};
    console_set_capture(&capture);
    release_objects(RELEASE_WORLD);
    release_objects(RELEASE_WORLD);
    console_set_capture(nullptr);
    EXPECT_EQ(std::string(buffer, capture.length), "\nGame over");
    EXPECT_EQ(catalogue.pending_message, nullptr);
}

TEST_F(CatalogueRelease, ErrorContextReleasesEverything) {
    catalogue_init();
    ASSERT_EQ(error_context.release_everything, &release_everything);
    ASSERT_EQ(create_engine_variables(), 0);
    skill("KEEPSAKE", SKILL_GLOBAL);
    make("ROOM", KIND_REGION);
    error_context.release_everything();
    EXPECT_EQ(catalogue.skills, nullptr);
    EXPECT_EQ(catalogue.regions, nullptr);
    EXPECT_EQ(name_table.entry_count, 0);
    EXPECT_EQ(engine_vars[SLOT_TIME_CORR], nullptr);
}
