// Engine variables: the 237 predefined skills, their creation order, defaults, flags and
// slots, and the helpers that skip a variable that does not exist.
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue_fixture.h"

using CatalogueVars = CatalogueTest;

// All names in creation order, as the engine's documentation lists them.
static const char* const creation_order =
    "STEPS TICKS SECS PLAYER_SIZE PLAYER_CLIMB WALK_PERIOD WAVE_PERIOD WALK_TIME MUSIC_VOL "
    "PSOUND_VOL PSOUND_TONE APPEND_MODE PLAYER_VX PLAYER_VY PLAYER_VZ PLAYER_VROT PLAYER_TILT "
    "PLAYER_ARC PLAYER_LIGHT LIGHT_DIST DARK_DIST MOTION_BLUR PLAYER_WIDTH IMPACT_VX IMPACT_VY "
    "PLAYER_ANGLE PLAYER_X PLAYER_Y PLAYER_RANGE SHOOT_RANGE SHOOT_X SHOOT_Y DISPLAY_SIZE "
    "MOUSE_X MOUSE_Y MOUSE_MODE WALK WAVE PLAYER_SIN PLAYER_COS PLAYER_SPEED ACCELERATION "
    "TIME_CORR TIME_FAC RANDOM FORCE_STRAFE FORCE_ROT FORCE_TILT FORCE_AHEAD RESULT FORCE_UP "
    "HIT_DIST PLAYER_HGT FLIC_STATUS FLIC_FRAME PLAYER_MSIN ASPECT MOUSE_CALM TOUCH_RANGE "
    "MICKEY_X MICKEY_Y MOUSE_MOVING NODE REMOTE_0 REMOTE_1 REMOTE_2 REMOTE_3 CHANNEL_0 "
    "CHANNEL_1 CHANNEL_2 CHANNEL_3 CHANNEL_4 CHANNEL_5 CHANNEL_6 CHANNEL_7 WAIT_ACTIONS "
    "PLAYER_Z MAP_MINX MAP_MINY MAP_MAXX MAP_MAXY MAP_MODE MAP_ROT MAP_DETAIL MAP_SCALE "
    "MAP_OFFSX MAP_OFFSY MAP_CENTERX MAP_CENTERY MAP_EDGE_X1 MAP_EDGE_X2 MAP_EDGE_Y1 "
    "MAP_EDGE_Y2 MAP_LAYER TEXT_LAYER PANEL_LAYER COLOR_PLAYER COLOR_ACTORS COLOR_THINGS "
    "COLOR_WALLS COLOR_BORDER COLOR_WAYS SCREEN_WIDTH SCREEN_HGT SCREEN_X SCREEN_Y FRAME_WIDTH "
    "FRAME_HGT FRAME_X FRAME_Y FRAME_COLOR JOY_SENSE MOUSE_SENSE KEY_SENSE SHIFT_SENSE "
    "MOUSE_TIME JOYSTICK_X JOYSTICK_Y LAST_HIT LAST_TOUCHED HIT_MINDIST INV_DIST MINV_DIST "
    "REAL_SPEED STEP_DIST WDIST_MAXX WDIST_MINX WDIST_MAXY WDIST_MINY FLOOR_HGT CEIL_HGT "
    "SLOPE_X SLOPE_Y SLOPE_AHEAD SLOPE_SIDE MOUSE_ANGLE TOTAL_FRAMES TOTAL_TIME CD_TRACK "
    "VESA_MODE PLAYER_DEPTH PLAYER_ROLL PLAYER_LAST_X PLAYER_LAST_Y SIZE_Y LINES RECORD AMBIENT "
    "SKY_OFFS_X SKY_OFFS_Y ACTOR_WIDTH THING_WIDTH ACTOR_DIST THING_DIST SHOOT_SECTOR "
    "ACTOR_CLIMB SKIP_FRAMES ACTOR_IMPACT_VX ACTOR_IMPACT_VY ACTOR_IMPACT_VZ ACTOR_FLOOR_HGT "
    "ACTOR_CEIL_HGT PI TWO_PI HALF_PI SHOOT_FAC SHOOT_ANGLE FRICTION INERTIA HIT_X HIT_Y "
    "KEY_SHIFT RENDER_MODE BLUR_MODE RAROD_MODE MOVE_MODE SOUND_VOL CDAUDIO_VOL FLOOR_MODE "
    "BUFFER_MODE TOUCH_MODE TOUCH_TYPE CLIPPING TOUCH_STATE CHANNEL PALANIM_DELAY IMPACT_VZ "
    "IMPACT_VROT BOUNCE_VX BOUNCE_VY MOVE_ANGLE DELTA_ANGLE SKIP_ANGLE DEBUG_MODE ERROR "
    "ACTIVE_RAROD ACTIVE_OBJECTS ACTIVE_TARGETS ACTIVE_OBJTICKS ACTIVE_REGTICKS ACTIONS "
    "BETWEENS SEGMENTS VISIBLES SPANS HPIXELS MAX_DIST TIME_ACTIONS TIME_OBJECTS TIME_TARGETS "
    "TIME_RENDER TIME_DRAW TIME_FBUFFER TIME_TOTAL TIME_VERTICES TIME_CLIPPING TIME_SLICES "
    "HERE_INDEX MTOUCH_INDEX NTOUCH_INDEX PSTART_1 PEND_1 LSTART_1 LEND_1 SCOPE_1 SCOPE_2 "
    "SCOPE_3 SCOPE_4 LOAD_MODE STR_LEN GFX_X GFX_Y GFX_DX GFX_DY GFX_LAST_X GFX_LAST_Y EYE_DIST";

// Listed defaults, written as numbers ("a/1024" for values given in 1024ths); every other
// variable starts at 0. Flag 8 marks the variables the engine maintains.
struct ListedDefault {
    const char* name;
    const char* value;
    int flag8;
};
static const ListedDefault listed_defaults[] = {
    {"PLAYER_SIZE", "3.5", 0},
    {"PLAYER_CLIMB", "2", 0},
    {"WALK_PERIOD", "4", 0},
    {"WAVE_PERIOD", "20", 0},
    {"WALK_TIME", "4", 0},
    {"MUSIC_VOL", "0.5", 0},
    {"PSOUND_VOL", "1", 0},
    {"PSOUND_TONE", "1", 0},
    {"APPEND_MODE", "1", 0},
    {"PLAYER_ARC", "1", 0},
    {"PLAYER_LIGHT", "1", 0},
    {"LIGHT_DIST", "10", 0},
    {"DARK_DIST", "1000", 0},
    {"PLAYER_WIDTH", "1228/1024", 0},
    {"PLAYER_RANGE", "3", 0},
    {"SHOOT_RANGE", "500", 0},
    {"PLAYER_SIN", "1", 1},
    {"PLAYER_COS", "1", 1},
    {"TIME_CORR", "1", 1},
    {"TIME_FAC", "1", 1},
    {"PLAYER_MSIN", "1", 0},
    {"ASPECT", "1", 0},
    {"MOUSE_CALM", "1", 0},
    {"TOUCH_RANGE", "100", 0},
    {"NODE", "-1", 1},
    {"MAP_MINX", "10000", 1},
    {"MAP_MINY", "10000", 1},
    {"MAP_MAXX", "-10000", 1},
    {"MAP_MAXY", "-10000", 1},
    {"MAP_SCALE", "921/1024", 0},
    {"MAP_EDGE_X2", "640", 0},
    {"MAP_EDGE_Y2", "480", 0},
    {"COLOR_PLAYER", "7", 0},
    {"COLOR_ACTORS", "3", 0},
    {"COLOR_THINGS", "13", 0},
    {"COLOR_WALLS", "244", 0},
    {"COLOR_BORDER", "17", 0},
    {"JOY_SENSE", "1", 0},
    {"MOUSE_SENSE", "1", 0},
    {"KEY_SENSE", "1", 0},
    {"SHIFT_SENSE", "2", 0},
    {"MOUSE_TIME", "4", 0},
    {"ACTOR_WIDTH", "1", 0},
    {"THING_WIDTH", "1", 0},
    {"ACTOR_DIST", "1", 0},
    {"THING_DIST", "1", 0},
    {"ACTOR_CLIMB", "1126/1024", 0},
    {"SKIP_FRAMES", "5", 0},
    {"PI", "3216/1024", 1},
    {"TWO_PI", "6433/1024", 1},
    {"HALF_PI", "1608/1024", 1},
    {"SHOOT_FAC", "1", 0},
    {"INERTIA", "1", 0},
    {"RENDER_MODE", "0.5", 0},
    {"MOVE_MODE", "1", 0},
    {"SOUND_VOL", "1", 0},
    {"CDAUDIO_VOL", "614/1024", 0},
    {"FLOOR_MODE", "1", 0},
    {"BUFFER_MODE", "1", 0},
    {"TOUCH_MODE", "1", 0},
    {"CLIPPING", "0.5", 0},
    {"MAX_DIST", "1000", 1},
    {"GFX_DX", "1000", 0},
    {"GFX_DY", "1000", 0},
    {"EYE_DIST", "0.5", 0},
};

// Further variables with flag 8 and default 0.
static const char* const maintained_zero =
    "WALK WAVE PLAYER_SPEED ACCELERATION FLIC_FRAME MICKEY_X MICKEY_Y MOUSE_MOVING JOYSTICK_X "
    "JOYSTICK_Y LAST_HIT LAST_TOUCHED HIT_MINDIST INV_DIST MINV_DIST REAL_SPEED STEP_DIST "
    "WDIST_MAXX WDIST_MINX WDIST_MAXY WDIST_MINY FLOOR_HGT CEIL_HGT SLOPE_X SLOPE_Y SLOPE_AHEAD "
    "SLOPE_SIDE TOTAL_FRAMES TOTAL_TIME CD_TRACK VESA_MODE PLAYER_DEPTH SIZE_Y LINES "
    "ACTOR_IMPACT_VX ACTOR_IMPACT_VY ACTOR_IMPACT_VZ ACTOR_FLOOR_HGT ACTOR_CEIL_HGT SHOOT_ANGLE "
    "HIT_X HIT_Y TOUCH_STATE MOVE_ANGLE DELTA_ANGLE ERROR ACTIVE_RAROD ACTIVE_OBJECTS "
    "ACTIVE_TARGETS ACTIVE_OBJTICKS ACTIVE_REGTICKS ACTIONS BETWEENS SEGMENTS VISIBLES SPANS "
    "HPIXELS TIME_ACTIONS TIME_OBJECTS TIME_TARGETS TIME_RENDER TIME_DRAW TIME_FBUFFER "
    "TIME_TOTAL TIME_VERTICES TIME_CLIPPING TIME_SLICES HERE_INDEX MTOUCH_INDEX NTOUCH_INDEX "
    "PSTART_1 PEND_1 LSTART_1 LEND_1 STR_LEN";

static std::vector<std::string> words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

static int32_t listed_value(const char* text) {
    if (const char* slash = std::strchr(text, '/')) return (int32_t)std::atoi(std::string(text, slash).c_str());
    return fixed_from_text(text);
}

TEST_F(CatalogueVars, AllVariablesInCreationOrder) {
    std::vector<std::string> names = words(creation_order);
    ASSERT_EQ(names.size(), 237u);
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(errors(), 0);
    // The skill list is newest first: walking it backwards gives the creation order.
    std::vector<std::string> listed;
    for (Skill* s = catalogue.skills; s; s = s->next) listed.insert(listed.begin(), s->name);
    EXPECT_EQ(listed, names);
    for (size_t i = 0; i < names.size(); i++) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(engine_var_specs[i].name, names[i].c_str());
        ASSERT_NE(engine_vars[i], nullptr);
        EXPECT_STREQ(engine_vars[i]->name, names[i].c_str());
        EXPECT_EQ(engine_vars[i]->slot, (int16_t)i);
        EXPECT_EQ(engine_var_slot(names[i].c_str()), (int32_t)i);
        EXPECT_EQ(find_skill(names[i].c_str()), engine_vars[i]);
    }
    EXPECT_EQ(engine_var_slot("time_corr"), SLOT_TIME_CORR);
    EXPECT_EQ(engine_var_slot("NO_SUCH_VAR"), -1);
}

TEST_F(CatalogueVars, DefaultsAndFlags) {
    settings.node = -1024;
    ASSERT_EQ(create_engine_variables(), 0);
    std::vector<int32_t> expect_value(SLOT_COUNT, 0);
    std::vector<int> expect_flags(SLOT_COUNT, 0);
    for (const ListedDefault& d : listed_defaults) {
        int32_t slot = engine_var_slot(d.name);
        ASSERT_GE(slot, 0) << d.name;
        expect_value[slot] = listed_value(d.value);
        expect_flags[slot] = d.flag8 ? SKILL_ENGINE : 0;
    }
    for (const std::string& name : words(maintained_zero)) {
        int32_t slot = engine_var_slot(name.c_str());
        ASSERT_GE(slot, 0) << name;
        expect_flags[slot] = SKILL_ENGINE;
    }
    expect_flags[SLOT_PLAYER_HGT] = SKILL_M2;
    for (int32_t slot = 0; slot < SLOT_COUNT; slot++) {
        SCOPED_TRACE(engine_var_specs[slot].name);
        EXPECT_EQ(engine_vars[slot]->value, expect_value[slot]);
        EXPECT_EQ(engine_vars[slot]->flags, expect_flags[slot]);
        EXPECT_EQ(engine_vars[slot]->minimum, -2147483647);
        EXPECT_EQ(engine_vars[slot]->maximum, 2147483647);
    }
    // Spot checks in the engine's own units.
    EXPECT_EQ(var_value(SLOT_PLAYER_SIZE), 3584);
    EXPECT_EQ(var_value(SLOT_PI), 3216);
    EXPECT_EQ(var_value(SLOT_TWO_PI), 6433);
    EXPECT_EQ(var_value(SLOT_MAP_MAXX), -10240000);
    EXPECT_EQ(var_value(SLOT_COLOR_WALLS), 244 * 1024);
    EXPECT_EQ(var_value(SLOT_NODE), -1024);
}

TEST_F(CatalogueVars, NodeReceivesTheNodeOption) {
    settings.node = 2 * 1024;
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(var_value(SLOT_NODE), 2048);
}

TEST_F(CatalogueVars, SecondCreationResetsValuesButKeepsLocalSkillsWhenAsked) {
    ASSERT_EQ(create_engine_variables(), 0);
    Skill* corr = engine_vars[SLOT_TIME_CORR];
    Skill* x = engine_vars[SLOT_PLAYER_X];
    corr->value = 51;
    x->value = 77;
    x->flags |= SKILL_LOCAL;
    x->minimum = -5;
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(engine_vars[SLOT_TIME_CORR], corr);  // the same skills, not new ones
    EXPECT_EQ(catalogue.skill_count, SLOT_COUNT);
    EXPECT_EQ(corr->value, 1024);
    EXPECT_EQ(x->value, 0);
    EXPECT_EQ(x->minimum, -5);  // only the value returns to its default
    x->value = 77;
    load_mode = LOAD_KEEP_LOCAL;
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(x->value, 77);
    EXPECT_EQ(corr->value, 1024);
    EXPECT_EQ(engine_vars[SLOT_PLAYER_X], x);
}

TEST_F(CatalogueVars, ScriptSkillOfTheSameNameBecomesTheVariable) {
    ASSERT_EQ(create_skill("PLAYER_SPEED"), 0);
    Skill* mine = (Skill*)catalogue.current_entry->object;
    mine->flags = SKILL_PLAYER;
    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_EQ(engine_vars[SLOT_PLAYER_SPEED], mine);
    EXPECT_EQ(mine->flags, SKILL_PLAYER | SKILL_ENGINE);
}

TEST_F(CatalogueVars, NameTakenByAnotherKindLeavesTheSlotEmpty) {
    void* texture = nullptr;
    ASSERT_EQ(create_object("AMBIENT", KIND_TEXTURE, &texture), 0);
    EXPECT_LT(create_engine_variables(), 0);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(engine_vars[SLOT_AMBIENT], nullptr);
    EXPECT_NE(engine_vars[SLOT_SKY_OFFS_X], nullptr);  // the rest exist
    EXPECT_EQ(catalogue.skill_count, SLOT_COUNT - 1);
}

TEST_F(CatalogueVars, HelpersSkipMissingVariables) {
    int32_t out = 99;
    EXPECT_FALSE(var_bound(SLOT_TIME_CORR));
    EXPECT_FALSE(var_get(SLOT_TIME_CORR, &out));
    EXPECT_EQ(out, 99);
    EXPECT_FALSE(var_set(SLOT_TIME_CORR, 5));
    EXPECT_FALSE(var_add(SLOT_TIME_CORR, 5));
    EXPECT_EQ(var_value(SLOT_TIME_CORR, 1024), 1024);
    EXPECT_EQ(var_ptr(-1), nullptr);
    EXPECT_EQ(var_ptr(SLOT_COUNT), nullptr);

    ASSERT_EQ(create_engine_variables(), 0);
    EXPECT_TRUE(var_set(SLOT_TIME_TOTAL, 6400));
    EXPECT_TRUE(var_get(SLOT_TIME_TOTAL, &out));
    EXPECT_EQ(out, 6400);
    EXPECT_TRUE(var_add(SLOT_TOTAL_FRAMES, 1024));
    EXPECT_TRUE(var_add(SLOT_TOTAL_FRAMES, 1024));
    EXPECT_EQ(var_value(SLOT_TOTAL_FRAMES), 2048);
    var_set(SLOT_TICKS, 2147483647);
    var_add(SLOT_TICKS, 1);  // wraps instead of overflowing
    EXPECT_EQ(var_value(SLOT_TICKS), INT32_MIN);
    // A script reading TIME_TOTAL sees what the engine wrote.
    EXPECT_EQ(((Skill*)find_object("TIME_TOTAL", KIND_SKILL))->value, 6400);
}

TEST_F(CatalogueVars, ReleasedVariableUnbindsItsSlot) {
    ASSERT_EQ(create_engine_variables(), 0);
    engine_vars[SLOT_PLAYER_X]->flags |= SKILL_LOCAL;
    release_objects(RELEASE_LOCAL);
    EXPECT_EQ(engine_vars[SLOT_PLAYER_X], nullptr);
    EXPECT_FALSE(var_set(SLOT_PLAYER_X, 1));
    EXPECT_EQ(find_skill("PLAYER_X"), nullptr);
    EXPECT_NE(engine_vars[SLOT_PLAYER_Y], nullptr);
    release_everything();
    for (Skill* s : engine_vars) EXPECT_EQ(s, nullptr);
}
