// The predefined synonyms and the engine cells they refer to.
#include <cstring>

#include "script/front/catalogue.h"

struct PredefinedSynonym {
    const char* name;
    int32_t type;
    void** cell;
};

static const PredefinedSynonym predefined_synonyms[] = {
    {"REGION1", KIND_REGION, &world_refs.region[0]},
    {"REGION2", KIND_REGION, &world_refs.region[1]},
    {"REGION3", KIND_REGION, &world_refs.region[2]},
    {"REGION4", KIND_REGION, &world_refs.region[3]},
    {"REGION5", KIND_REGION, &world_refs.region[4]},
    {"REGION6", KIND_REGION, &world_refs.region[5]},
    {"REGION7", KIND_REGION, &world_refs.region[6]},
    {"REGION8", KIND_REGION, &world_refs.region[7]},
    {"PLAYER_REGION", KIND_REGION, &world_refs.player_region},
    {"HERE", KIND_REGION, &world_refs.player_region},
    {"THERE", KIND_REGION, &world_refs.there},
    {"MY", KIND_OBJECT, &world_refs.my},
    {"HIT", KIND_OBJECT, &world_refs.hit},
    {"TOUCHED", KIND_OBJECT, &world_refs.touched},
    {"TOUCH_TEX", KIND_TEXTURE, &world_refs.touch_tex},
    {"TOUCH_REG", KIND_REGION, &world_refs.touch_reg},
    {"TOUCH_TEXT", KIND_TEXT, &world_refs.touch_text},
    {"BACKDROP", KIND_TEXTURE, &world_refs.backdrop},
    {"MSPRITE", KIND_OVERLAY, &world_refs.msprite},
    {"COMMAND_LINE", KIND_STRING, &world_refs.command_line},
};

// Room for the command line that a level change keeps (255 characters and the NUL).
static const int COMMAND_LINE_CAPACITY = 256;

int create_predefined_synonyms() {
    if (!world_refs.command_line) {
        ScriptString* line = (ScriptString*)new_record(KIND_STRING);
        if (!line) return -2;
        char blank[COMMAND_LINE_CAPACITY];
        std::memset(blank, ' ', sizeof blank - 1);
        blank[sizeof blank - 1] = 0;
        if (set_string_text(line, blank) != 0) return -2;
        line->text[0] = 0;
        world_refs.command_line = line;
    }
    for (const PredefinedSynonym& p : predefined_synonyms) {
        void* object = nullptr;
        int result = create_object(p.name, KIND_SYNONYM, &object);
        if (result < 0) return result;
        Synonym* s = (Synonym*)object;
        s->type = p.type;
        s->ref = p.cell;
    }
    return 1;
}
