// Name table: name rules, buckets, declaring and finding, kinds, v308 ranks, scoped mode.
#include <cstring>
#include <string>

#include "catalogue_fixture.h"

using CatalogueNames = CatalogueTest;

static void* make(const char* name, int32_t kind) {
    void* object = nullptr;
    int result = create_object(name, kind, &object);
    return result >= 0 ? object : nullptr;
}

TEST_F(CatalogueNames, LowerAndUpperCaseAreOneName) {
    Skill* skill = nullptr;
    ASSERT_EQ(create_skill("Speed_Max"), 0);
    skill = (Skill*)catalogue.current_entry->object;
    EXPECT_EQ(find_object("SPEED_MAX", KIND_SKILL), skill);
    EXPECT_EQ(find_object("speed_max", KIND_SKILL), skill);
    // Declaring the other spelling finds the same entry.
    EXPECT_EQ(declare_name("SPEED_MAX", KIND_SKILL, nullptr), -1);
    EXPECT_EQ(catalogue.current_entry->object, skill);
    EXPECT_EQ(name_table.entry_count, 1);
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueNames, NameRules) {
    struct Case {
        std::string name;
        int compat368;
        int expect;  // declare_name result
        char bad;    // remembered character
    } cases[] = {
        {std::string(30, 'a'), 0, 0, 0},
        {std::string(31, 'b'), 0, -1, 0},
        {std::string(31, 'c'), 1, 0, 0},
        {std::string(60, 'd'), 1, 0, 0},
        {"DOOR-1", 0, -1, '-'},
        {"DOOR.X", 0, -1, '.'},
        {"A B", 0, -1, ' '},
        {"", 0, -1, 0},
        {"_9lives_", 0, 0, 0},
        {"123", 0, 0, 0},
        {"\xe4rger", 0, -1, '\xe4'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.compat368 = c.compat368;
        clear_errors();
        EXPECT_EQ(declare_name(c.name.c_str(), KIND_ACTION, nullptr), c.expect);
        EXPECT_EQ(errors(), c.expect == 0 ? 0 : 1);
        if (c.expect != 0) {
            EXPECT_EQ(catalogue.bad_char, c.bad);
        }
    }
}

TEST_F(CatalogueNames, BucketIsTheLowerCaseSumOfTwentyCharacters) {
    EXPECT_EQ(name_bucket("a"), 97);
    EXPECT_EQ(name_bucket("A"), 97);
    EXPECT_EQ(name_bucket("Ab_1"), 97 + 98 + 95 + 49);
    // Only the first 20 characters count.
    EXPECT_EQ(name_bucket("aaaaaaaaaaaaaaaaaaaaZZZZ"), name_bucket("aaaaaaaaaaaaaaaaaaaa"));
    // 13 * 97 = 1261 stays; 14 * 97 = 1358 loses 1280 once.
    EXPECT_EQ(name_bucket("aaaaaaaaaaaaa"), 1261);
    EXPECT_EQ(name_bucket("aaaaaaaaaaaaaa"), 78);
    // A sum of exactly 1280 is not above 1280 and is cut to 1279; so is a sum still above
    // 1279 after one subtraction (only bytes outside the name characters get there).
    EXPECT_EQ(name_bucket("AANzzzzzzzz"), 1279);
    EXPECT_EQ(name_bucket("\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff"), 1279);
    EXPECT_EQ(name_bucket("zzzzzzzzzzzzzzzzzzzz"), 20 * 122 - 1280);
    EXPECT_EQ(name_bucket(""), 0);
}

TEST_F(CatalogueNames, ForwardDeclaredNameIsFoundOnlyWithItsObject) {
    ASSERT_EQ(declare_name("LATER", KIND_ACTION, nullptr), 0);
    NameEntry* entry = catalogue.current_entry;
    EXPECT_EQ(find_name("LATER", KIND_ACTION), nullptr);
    EXPECT_EQ(find_name_of_kind("LATER", KIND_ACTION), entry);
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(find_object("LATER", KIND_ACTION), nullptr);
    EXPECT_EQ(errors(), 1);  // a missing object is a report

    Action* action = (Action*)make("LATER", KIND_ACTION);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(entry->object, action);
    EXPECT_EQ(find_name("later", KIND_ACTION), entry);
    EXPECT_TRUE(entry->flags & NAME_REFERENCED);
    EXPECT_STREQ(action->name, "LATER");
}

TEST_F(CatalogueNames, KindMismatchIsOneReport) {
    ASSERT_NE(make("DOOR", KIND_TEXTURE), nullptr);
    EXPECT_EQ(find_name("DOOR", KIND_SKILL), nullptr);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(find_object("DOOR", KIND_SKILL), nullptr);
    EXPECT_EQ(errors(), 2);  // once per lookup, not twice
    EXPECT_NE(find_name("DOOR", KIND_NONE), nullptr);
    EXPECT_EQ(errors(), 2);
}

TEST_F(CatalogueNames, AnyObjectKindAcceptsWallsAndThings) {
    ASSERT_NE(make("PILLAR", KIND_THING), nullptr);
    ASSERT_NE(make("GATE", KIND_WALL), nullptr);
    EXPECT_NE(find_name("PILLAR", KIND_OBJECT), nullptr);
    EXPECT_NE(find_name("GATE", KIND_OBJECT), nullptr);
    EXPECT_EQ(find_name("GATE", KIND_THING), nullptr);
    EXPECT_EQ(errors(), 1);
}

TEST_F(CatalogueNames, TextureNamedLikeSkillIsAnErrorWithoutV308) {
    ASSERT_EQ(create_skill("ENERGY"), 0);
    Skill* skill = (Skill*)catalogue.current_entry->object;
    void* texture = nullptr;
    EXPECT_EQ(create_object("ENERGY", KIND_TEXTURE, &texture), -1);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(errors(), 1);
    // The catalogue is unchanged.
    EXPECT_EQ(name_table.entry_count, 1);
    EXPECT_EQ(catalogue.textures, nullptr);
    EXPECT_EQ(find_object("ENERGY", KIND_SKILL), skill);
}

TEST_F(CatalogueNames, V308SkillOutranksActionWhicheverComesFirst) {
    settings.v308 = 1;
    for (int skill_first = 0; skill_first < 2; skill_first++) {
        SCOPED_TRACE(skill_first);
        catalogue_reset();
        clear_errors();
        Skill* skill = nullptr;
        Action* action = nullptr;
        if (skill_first) {
            ASSERT_EQ(create_skill("OPEN"), 0);
            skill = (Skill*)catalogue.current_entry->object;
            action = (Action*)make("OPEN", KIND_ACTION);
        } else {
            action = (Action*)make("OPEN", KIND_ACTION);
            ASSERT_EQ(create_skill("OPEN"), 0);
            skill = (Skill*)catalogue.current_entry->object;
        }
        ASSERT_NE(action, nullptr);
        ASSERT_NE(skill, nullptr);
        EXPECT_EQ(errors(), 0);
        EXPECT_EQ(name_table.entry_count, 2);
        // Without a kind the skill wins; with a kind each is found.
        NameEntry* any = find_name("OPEN", KIND_NONE);
        ASSERT_NE(any, nullptr);
        EXPECT_EQ(any->object, skill);
        EXPECT_EQ(find_object("OPEN", KIND_ACTION), action);
        EXPECT_EQ(find_object("OPEN", KIND_SKILL), skill);
        EXPECT_TRUE(find_name_of_kind("OPEN", KIND_ACTION)->flags & NAME_HIDDEN);
        EXPECT_EQ(errors(), 0);
    }
}

TEST_F(CatalogueNames, V308WayRanksBelowEverything) {
    settings.v308 = 1;
    Way* way = (Way*)make("PATH1", KIND_WAY);
    Texture* texture = (Texture*)make("PATH1", KIND_TEXTURE);
    ASSERT_NE(way, nullptr);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(find_name("PATH1", KIND_NONE)->object, texture);
    EXPECT_EQ(find_object("PATH1", KIND_WAY), way);
}

TEST_F(CatalogueNames, ExistingEntryBecomesCurrent) {
    Texture* texture = (Texture*)make("STONE", KIND_TEXTURE);
    ASSERT_EQ(declare_name("ROCK", KIND_TEXTURE, nullptr), 0);
    EXPECT_EQ(declare_name("stone", KIND_TEXTURE, nullptr), -1);
    ASSERT_NE(catalogue.current_entry, nullptr);
    EXPECT_EQ(catalogue.current_entry->object, texture);
    void* again = nullptr;
    EXPECT_EQ(create_object("STONE", KIND_TEXTURE, &again), 1);
    EXPECT_EQ(again, texture);
    EXPECT_EQ(catalogue.texture_count, 1);
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueNames, ScopedEntriesShadowGlobalOnesOnlyInTheirScope) {
    ScriptString* global = (ScriptString*)make("LABEL", KIND_STRING);
    Region* hall = (Region*)make("HALL", KIND_REGION);
    ASSERT_NE(global, nullptr);
    ASSERT_NE(hall, nullptr);

    int32_t scope = begin_scope();
    EXPECT_GT(scope, 0);
    ScriptString* local = (ScriptString*)make("LABEL", KIND_STRING);
    ASSERT_NE(local, nullptr);
    EXPECT_NE(local, global);
    EXPECT_EQ(catalogue.current_entry->scope, scope);
    // Regions (and actions) are shared with the global name.
    EXPECT_EQ(make("HALL", KIND_REGION), hall);
    EXPECT_EQ(find_object("LABEL", KIND_STRING), local);
    EXPECT_EQ(find_object("HALL", KIND_REGION), hall);
    // A second declaration in the same scope finds the scoped entry.
    EXPECT_EQ(make("LABEL", KIND_STRING), local);

    int32_t other = begin_scope();
    EXPECT_NE(other, scope);
    EXPECT_EQ(find_object("LABEL", KIND_STRING), global);
    end_scope();
    EXPECT_EQ(find_object("LABEL", KIND_STRING), global);
    set_scope(scope);
    EXPECT_EQ(find_object("LABEL", KIND_STRING), local);
    end_scope();
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueNames, PreferredKindIsTakenFirst) {
    settings.v308 = 1;
    ASSERT_EQ(create_skill("BELL"), 0);
    Skill* skill = (Skill*)catalogue.current_entry->object;
    Sound* sound = (Sound*)make("BELL", KIND_SOUND);
    ASSERT_NE(sound, nullptr);
    settings.v308 = 0;
    EXPECT_EQ(find_name("BELL", KIND_NONE)->object, skill);
    // The action compiler expects a sound here: the hidden sound is taken.
    catalogue.preferred_kind = KIND_SOUND;
    EXPECT_EQ(find_name("BELL", KIND_NONE)->object, sound);
    EXPECT_EQ(find_object("BELL", KIND_SOUND), sound);
    catalogue.preferred_kind = KIND_PALETTE;  // no such entry: the usual order
    EXPECT_EQ(find_name("BELL", KIND_NONE)->object, skill);
    catalogue.preferred_kind = KIND_NONE;
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueNames, ScopedDeclarationOfAnotherKindIsStillAClash) {
    ASSERT_NE(make("RING", KIND_TEXTURE), nullptr);
    set_scope(7);
    void* string = nullptr;
    EXPECT_EQ(create_object("RING", KIND_STRING, &string), -1);
    EXPECT_EQ(errors(), 1);
    Texture* own = (Texture*)make("RING", KIND_TEXTURE);  // the same kind gets a private copy
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(catalogue.texture_count, 2);
    end_scope();
}

TEST_F(CatalogueNames, RemoveNameFreesEntryAndOptionallyObject) {
    Texture* a = (Texture*)make("TEX_A", KIND_TEXTURE);
    Texture* b = (Texture*)make("TEX_B", KIND_TEXTURE);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    remove_name("tex_a", true);
    EXPECT_EQ(lookup_name("TEX_A"), nullptr);
    EXPECT_EQ(catalogue.textures, b);
    EXPECT_EQ(b->next, nullptr);
    remove_name("TEX_B", false);
    EXPECT_EQ(lookup_name("TEX_B"), nullptr);
    EXPECT_EQ(catalogue.textures, b);  // the record stays in its list
    EXPECT_EQ(name_table.entry_count, 0);
    remove_name("NOT_THERE", true);  // nothing happens
}

TEST_F(CatalogueNames, SkillDefaultsAndRedefinition) {
    ASSERT_EQ(create_skill("LIVES"), 0);
    Skill* s = (Skill*)catalogue.current_entry->object;
    EXPECT_EQ(s->value, 0);
    EXPECT_EQ(s->minimum, -2147483647);
    EXPECT_EQ(s->maximum, 2147483647);
    EXPECT_EQ(s->flags, 0);
    s->value = 3072;
    s->maximum = 9216;
    EXPECT_EQ(create_skill("LIVES"), -1);
    EXPECT_EQ(catalogue.current_entry->object, s);
    EXPECT_EQ(s->value, 3072);  // kept
    load_mode = LOAD_REDEFINE;
    EXPECT_EQ(create_skill("LIVES"), -1);
    EXPECT_EQ(s->value, 0);  // redefinition allowed: back to the defaults
    EXPECT_EQ(s->maximum, 2147483647);
    EXPECT_EQ(find_skill("lives"), s);
    EXPECT_EQ(errors(), 0);
}

TEST_F(CatalogueNames, SkillLiterals) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0.7", 716}, {"-1.5", -1536}, {"1", 1024}, {"-0.0009", 0}, {"3.5", 3584},
        {"2097151.999", 2147483646}, {"1e30", 2147483647}, {"-1e30", INT32_MIN}, {"abc", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fixed_from_text(c.text), c.value);
    }
    const char* end = nullptr;
    EXPECT_EQ(fixed_from_text("12.25;", &end), 12544);
    EXPECT_STREQ(end, ";");
}

TEST_F(CatalogueNames, MapObjectsAndRegionsCarryTheirDefaults) {
    MapObject* thing = (MapObject*)make("BARREL", KIND_THING);
    MapObject* wall = (MapObject*)make("BRICKS", KIND_WALL);
    Region* region = (Region*)make("YARD", KIND_REGION);
    ASSERT_TRUE(thing && wall && region);
    EXPECT_EQ(thing->number, 1);
    EXPECT_EQ(wall->number, 2);
    EXPECT_EQ(region->number, 0);
    EXPECT_EQ(thing->flags, (uint32_t)OBJ_THING);
    EXPECT_EQ(wall->flags, 0u);
    EXPECT_EQ(thing->size_x, 16 * 1024);
    EXPECT_EQ(thing->size_y, 16 * 1024);
    EXPECT_EQ(thing->distance, 1000 * 1024);
    EXPECT_EQ(thing->way_step, -1);
    EXPECT_STREQ(thing->identity, "BARREL");
    EXPECT_STREQ(region->identity, "YARD");
    EXPECT_EQ(catalogue.objects, wall);
    EXPECT_EQ(wall->next, thing);
    Vertex* v0 = new_vertex(1, 2, 3);
    Vertex* v1 = new_vertex(4, 5, 6);
    EXPECT_EQ(v0->number, 0);
    EXPECT_EQ(v1->number, 1);
    EXPECT_EQ(catalogue.vertices, v1);
    // A wall's name cannot become a region.
    void* clash = nullptr;
    EXPECT_EQ(create_object("BRICKS", KIND_REGION, &clash), -1);
    EXPECT_EQ(errors(), 1);
}

TEST_F(CatalogueNames, StringTextGrows) {
    ScriptString* s = (ScriptString*)new_record(KIND_STRING);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->text, "");
    EXPECT_EQ(s->name, nullptr);
    ASSERT_EQ(set_string_text(s, "a longer text than before"), 0);
    EXPECT_STREQ(s->text, "a longer text than before");
    EXPECT_GE(s->capacity, 26);
    ASSERT_EQ(set_string_text(s, "short"), 0);
    EXPECT_STREQ(s->text, "short");
}

TEST_F(CatalogueNames, FirstMapObjectOfANameBecomesItsObject) {
    MapObject* first = new_map_object("TORCH", KIND_THING);
    MapObject* second = new_map_object("torch", KIND_THING);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(find_object("TORCH", KIND_THING), first);
    EXPECT_STREQ(second->identity, "TORCH");
    EXPECT_EQ(second->number, 2);
    EXPECT_EQ(name_table.entry_count, 1);
    EXPECT_EQ(new_map_object("TORCH", KIND_WALL), nullptr);  // a thing's name
    EXPECT_EQ(new_map_object("BAD-NAME", KIND_WALL), nullptr);
    EXPECT_EQ(errors(), 2);
    EXPECT_EQ(catalogue.object_count, 2);
}
