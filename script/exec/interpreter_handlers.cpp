// The handler routines of the keyword table: strings, the text search, the context walks
// (NEXT_MY, NEXT_THERE, NEXT_MY_THERE), the print page stand-ins, and the calls into the
// world, the renderer and the devices. A handler that is given no object does nothing.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/clock.h"
#include "script/exec/compiler_internal.h"
#include "script/exec/exec_ops.h"
#include "script/exec/interpreter_internal.h"
#include "script/front/catalogue.h"

namespace {

template <typename T>
T* as(int64_t v) {
    return reinterpret_cast<T*>(intptr_t(v));
}

int lines_of(const char* text) {
    int n = 1;
    for (const char* p = text; p && *p; p++)
        if (*p == '\n') n++;
    return n;
}

// Copies into a string, cut to its capacity - 1.
void put_text(ScriptString* s, const char* text, size_t keep) {
    if (!s || !s->text || s->capacity <= 0) return;
    size_t room = size_t(s->capacity) - 1;
    if (keep > room) keep = room;
    size_t length = std::strlen(text);
    if (keep + length > room) length = room - keep;
    std::memmove(s->text + keep, text, length);
    s->text[keep + length] = 0;
}

}  // namespace

bool same_identity(const char* a, const char* b) { return a == b || (a && b && strcasecmp(a, b) == 0); }

int64_t handler_find(int64_t text_value, int64_t search_value, int64_t) {
    Text* text = as<Text>(text_value);
    const char* search = string_text(as<ScriptString>(search_value));
    if (!text || !text->font || text->string_count < 2 || !text->strings) return 0;
    int32_t current = text->index >> 10;
    if (current < 1 || current > text->string_count) return 0;
    int32_t height = text->font->glyph_height;
    size_t length = std::strlen(search);
    int32_t lines = 0;
    int32_t found = 0;
    var_set(SLOT_LINES, 0);
    var_set(SLOT_SIZE_Y, 0);
    var_set(SLOT_RESULT, -1024);
    for (int32_t i = 0; i < text->string_count; i++) {
        const char* s = string_text(text->strings[i]);
        if (!found && strncasecmp(s, search, length) == 0 && std::strlen(s) >= length) {
            found = i + 1;
            var_set(SLOT_RESULT, found * 1024);
            text->offset_y = height * lines * 1024;
        }
        lines += lines_of(s);
    }
    var_set(SLOT_LINES, lines * 1024);
    var_set(SLOT_SIZE_Y, height * lines * 1024);
    if (found) {
        text->index = found * 1024;
        text->string = text->strings[found - 1];
    }
    return 0;
}

int64_t handler_set_string(int64_t to, int64_t from, int64_t) {
    ScriptString* d = as<ScriptString>(to);
    ScriptString* s = as<ScriptString>(from);
    if (!d || !s || d == s) return 0;
    put_text(d, string_text(s), 0);
    return 0;
}

int64_t handler_add_string(int64_t to, int64_t from, int64_t) {
    ScriptString* d = as<ScriptString>(to);
    ScriptString* s = as<ScriptString>(from);
    if (!d || !s || !d->text) return 0;
    // Appending a string to itself reads a copy.
    char copy[8000];
    std::snprintf(copy, sizeof copy, "%s", string_text(s));
    put_text(d, copy, std::strlen(d->text));
    return 0;
}

int64_t handler_to_string(int64_t to, int64_t number, int64_t) {
    ScriptString* d = as<ScriptString>(to);
    if (!d) return 0;
    int32_t v = int32_t(number);
    char text[32];
    if (v & 1023) std::snprintf(text, sizeof text, "%.3f", v / 1024.0);
    else std::snprintf(text, sizeof text, "%d", v / 1024);
    put_text(d, text, 0);
    return 0;
}

int64_t handler_set_info(int64_t, int64_t, int64_t) { return 0; }

int64_t handler_stop_demo(int64_t, int64_t, int64_t) {
    if (exec_ops.stop_demo) exec_ops.stop_demo();
    return 0;
}

int64_t handler_push(int64_t amount, int64_t, int64_t) {
    if (exec_ops.push) exec_ops.push(int32_t(amount));
    return 0;
}

int64_t handler_stop_sound(int64_t, int64_t, int64_t) {
    if (exec_ops.stop_sounds) exec_ops.stop_sounds();
    return 0;
}

int64_t handler_stop_flic(int64_t, int64_t, int64_t) {
    if (exec_ops.stop_flic) exec_ops.stop_flic();
    return 0;
}

int64_t handler_play_flic(int64_t flic, int64_t, int64_t) {
    Flic* f = as<Flic>(flic);
    if (!f) return 0;
    if (exec_ops.play_flic) exec_ops.play_flic(f);
    var_set(SLOT_FLIC_FRAME, 1024);
    return 0;
}

int64_t handler_play_cd(int64_t track, int64_t mode, int64_t) {
    int32_t current = exec_ops.play_cd ? exec_ops.play_cd(int32_t(track), int32_t(mode)) : 0;
    var_set(SLOT_CD_TRACK, int32_t(uint32_t(current) * 1024u));
    return 0;
}

int64_t handler_beep(int64_t, int64_t, int64_t) {
    // 440 Hz for 166 ms, then 330 Hz for 100 ms, through port operations that make no
    // sound: the delays stay, but they sleep instead of spinning.
    clock_sleep_ms(166);
    clock_sleep_ms(100);
    return 0;
}

MapObject* next_my() {
    auto* my = static_cast<MapObject*>(world_refs.my);
    if (!my) return nullptr;
    MapObject* found = nullptr;
    for (MapObject* o = my->next; o && !found; o = o->next)
        if (same_identity(o->identity, my->identity)) found = o;
    for (MapObject* o = catalogue.objects; o && !found; o = o->next)
        if (same_identity(o->identity, my->identity)) found = o;
    if (found) world_refs.my = found;
    return found;
}

Region* next_there() {
    auto* there = static_cast<Region*>(world_refs.there);
    if (!there) return nullptr;
    Region* found = nullptr;
    for (Region* r = there->next; r && !found; r = r->next)
        if (same_identity(r->identity, there->identity)) found = r;
    for (Region* r = catalogue.regions; r && !found; r = r->next)
        if (same_identity(r->identity, there->identity)) found = r;
    if (found) world_refs.there = found;
    return found;
}

MapObject* next_my_there() {
    auto* my = static_cast<MapObject*>(world_refs.my);
    if (!my) return nullptr;
    MapObject* found = nullptr;
    for (MapObject* o = my->next; o && !found; o = o->next)
        if (o->region == my->region) found = o;
    for (MapObject* o = catalogue.objects; o && !found; o = o->next)
        if (o->region == my->region) found = o;
    if (found) world_refs.my = found;
    return found;
}

int64_t handler_next_my(int64_t, int64_t, int64_t) {
    next_my();
    return 0;
}
int64_t handler_next_there(int64_t, int64_t, int64_t) {
    next_there();
    return 0;
}
int64_t handler_next_my_there(int64_t, int64_t, int64_t) {
    next_my_there();
    return 0;
}

// The print page of the map printout cannot be made: GFX_CLEAR reports it in RESULT, and
// drawing on it does nothing.
int64_t handler_gfx_clear(int64_t, int64_t, int64_t) {
    var_set(SLOT_RESULT, -1024);
    return 0;
}
int64_t handler_gfx_map(int64_t, int64_t, int64_t) { return 0; }
int64_t handler_gfx_print(int64_t, int64_t, int64_t) { return 0; }
int64_t handler_gfx_lineto(int64_t x, int64_t y, int64_t) {
    var_set(SLOT_GFX_LAST_X, int32_t(x));
    var_set(SLOT_GFX_LAST_Y, int32_t(y));
    return 0;
}

int64_t handler_fade_pal(int64_t palette, int64_t speed, int64_t) {
    if (as<Palette>(palette) && exec_ops.fade_palette) exec_ops.fade_palette(as<Palette>(palette), int32_t(speed));
    return 0;
}

int64_t handler_inflate(int64_t texture, int64_t factor, int64_t) {
    if (as<Texture>(texture) && exec_ops.inflate_texture) exec_ops.inflate_texture(as<Texture>(texture), int32_t(factor));
    return 0;
}

int64_t handler_explode(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.explode) exec_ops.explode(as<MapObject>(object));
    return 0;
}

int64_t handler_shoot(int64_t, int64_t, int64_t) {
    if (exec_ops.shoot) exec_ops.shoot(nullptr);
    return 0;
}

int64_t handler_shoot_at(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.shoot) exec_ops.shoot(as<MapObject>(object));
    return 0;
}

int64_t handler_locate(int64_t, int64_t, int64_t) {
    if (exec_ops.locate_player) exec_ops.locate_player();
    return 0;
}

int64_t handler_locate_object(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.locate_object) exec_ops.locate_object(as<MapObject>(object));
    return 0;
}

int64_t handler_place(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.place_object) exec_ops.place_object(as<MapObject>(object));
    return 0;
}

int64_t handler_drop(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.drop_object) exec_ops.drop_object(as<MapObject>(object));
    return 0;
}

int64_t handler_shake(int64_t object, int64_t, int64_t) {
    if (as<MapObject>(object) && exec_ops.shake_object) exec_ops.shake_object(as<MapObject>(object));
    return 0;
}

int64_t handler_lift(int64_t region, int64_t amount, int64_t) {
    if (as<Region>(region) && exec_ops.lift_region) exec_ops.lift_region(as<Region>(region), int32_t(amount));
    return 0;
}

int64_t handler_tilt(int64_t region, int64_t amount, int64_t) {
    if (as<Region>(region) && exec_ops.tilt_region) exec_ops.tilt_region(as<Region>(region), int32_t(amount));
    return 0;
}

int64_t handler_rotate(int64_t region, int64_t amount, int64_t) {
    if (as<Region>(region) && exec_ops.rotate_region) exec_ops.rotate_region(as<Region>(region), int32_t(amount));
    return 0;
}

int64_t handler_build(int64_t view, int64_t, int64_t) {
    if (as<DataView>(view) && exec_ops.build_view) exec_ops.build_view(as<DataView>(view));
    return 0;
}

int64_t handler_unbuild(int64_t view, int64_t, int64_t) {
    if (as<DataView>(view) && exec_ops.unbuild_view) exec_ops.unbuild_view(as<DataView>(view));
    return 0;
}

int64_t handler_set_skill(int64_t string, int64_t, int64_t) {
    const char* text = string_text(as<ScriptString>(string));
    return fixed_from_double(std::strtod(text, nullptr));
}

// The texture routines of SET: the world model's, or, until it exists, the slot itself.
void set_texture_of_object(void* owner, Texture* texture, int32_t mode) {
    auto* o = static_cast<MapObject*>(owner);
    if (exec_ops.set_object_texture) exec_ops.set_object_texture(o, texture, mode);
    else o->texture = texture;
}

void set_texture_of_floor(void* owner, Texture* texture, int32_t mode) {
    auto* r = static_cast<Region*>(owner);
    if (exec_ops.set_floor_texture) exec_ops.set_floor_texture(r, texture, mode);
    else r->floor_tex = texture;
}

void set_texture_of_ceiling(void* owner, Texture* texture, int32_t mode) {
    auto* r = static_cast<Region*>(owner);
    if (exec_ops.set_ceil_texture) exec_ops.set_ceil_texture(r, texture, mode);
    else r->ceil_tex = texture;
}
