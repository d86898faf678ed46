// Definitions of walls, things and actors, and their templates. The catalogue entry of a
// WALL, THING or ACTOR name holds one map object: the first one the map made with that
// name, or a placeholder made when the block opens. A definition block writes its fields
// into that object; when the block closes a template is made from it and copied into every
// newer object of the name. Database rows build their objects from the same templates.
#pragma once

#include <cstdint>

#include "script/front/records.h"

struct ObjectTemplate {
    char* name;              // the definition's name (own copy)
    const char* identity;    // the catalogue name the objects made from it carry
    Region* region;          // the definition object's region and right region (or overlay)
    Region* right_region;
    Overlay* overlay;
    int32_t angle;           // things: what the definition adds to an object's own angle
    int32_t offset_x, offset_y;  // walls: what it adds to an object's own texture offsets
    int32_t own_angle;       // the definition object's own angle / LENGTH and offsets before
    int32_t own_offset_x, own_offset_y;  // its first definition (kept for a world reload)
    MapObject block;         // the definition object's members (from its flag word on)
    bool replaced;           // refreshed by a world reload: the objects of its name carry
    int32_t replaced_angle;  // these amounts of the template it replaced
    int32_t replaced_offset_x, replaced_offset_y;
    bool row_local;          // made while a database row was read
    ObjectTemplate* next;    // newest first
};

struct TemplateState {
    ObjectTemplate* list;
    MapObject* open_object;  // the object of the open block, null when none
    bool open_placeholder;   // the open object was made for the block
    int32_t open_angle, open_offset_x, open_offset_y;
    bool database_reading;   // a database row is being read (set by the database code)
    MapObject scratch;       // receives the fields of a block whose name cannot be declared
};
extern TemplateState templates;

// The start of a WALL, THING or ACTOR block (kind KIND_WALL or KIND_THING; actor for
// ACTOR): the definition object of the name into *object. 0, -1 (reported; *object is the
// scratch record then, or null) or -2 (out of memory).
int open_object_definition(const char* name, int32_t kind, bool actor, MapObject** object);
// The end of the block: 0, or -1 (reported) when the definition has no texture. Makes or
// refreshes the template and applies it to the newer objects of the name.
int close_object_definition(MapObject* object);
// Gives an object the template's members: 0, or -1 (reported) without a template.
int apply_template(MapObject* object, const ObjectTemplate* t);
// The newest template of a name (compared without case), or null.
ObjectTemplate* find_template(const char* name);
// Frees every template (the world's objects are being released).
void free_templates();
