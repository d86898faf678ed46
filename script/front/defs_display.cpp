// The PANEL, OVERLAY, TEXT and VIEW blocks. Their fields fill a scratch record; at "}" the
// scratch replaces the object's contents, but only when no error was reported inside the
// block, so a block with one bad field leaves the object as it was. Coordinates and sizes
// that scripts read as members are kept in 22.10; element positions are whole pixels.
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/console.h"
#include "engine/errors.h"
#include "script/front/defs_internal.h"

namespace {

// ---- Shared block state -------------------------------------------------------------------

struct DisplayBlock {
    int kind;              // KIND_PANEL, KIND_OVERLAY, KIND_TEXT, KIND_VIEW; 0 when none is open
    void* object;          // the object being defined; null: no current object
    int errors_at_open;    // error_count when the block opened
    Panel panel;           // the scratch records
    Overlay overlay;
    Text text;
    View view;
    bool ovlys_given;      // OVLYS was given in this block
    bool strings_given;    // STRINGS was given in this block
};
DisplayBlock block;

void free_panel_lists(Panel* p) {
    for (PanelElement*& list : p->elements)
        while (list) {
            PanelElement* next = list->next;
            std::free(list);
            list = next;
        }
}

void clear_scratch() {
    free_panel_lists(&block.panel);
    std::free(block.overlay.frames);
    std::free(block.text.strings);
    std::memset(&block.panel, 0, sizeof block.panel);
    std::memset(&block.overlay, 0, sizeof block.overlay);
    std::memset(&block.text, 0, sizeof block.text);
    std::memset(&block.view, 0, sizeof block.view);
    block.ovlys_given = block.strings_given = false;
}

// Opens a block of a display kind: the object of the name, a fresh scratch record.
int open_display_block(int kind, int state, FieldHandler field, EndHandler end) {
    clear_scratch();
    block.kind = kind;
    block.object = nullptr;
    block.errors_at_open = error_store.error_count;
    enter_block(state, field, end);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, kind, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_display_block");
        return -1;
    }
    block.object = object;
    return 1;
}

// Whether the block may take effect; otherwise one more report says that it did not.
bool block_clean(const char* what) {
    if (error_store.error_count == block.errors_at_open) return true;
    console_message("\r\n  %s %s keeps its previous contents: its definition had errors", what,
                    record_name(block.kind, block.object) ? record_name(block.kind, block.object) : "");
    field_error("display_block_end");
    return false;
}

int take_whole_pixels(int32_t* v) { return take_integer(v); }
int take_member_integer(int32_t* v) {
    int32_t whole = 0;
    if (take_integer(&whole) < 0) return -1;
    *v = int32_t(uint32_t(whole) << 10);
    return 0;
}

// ---- PANEL ------------------------------------------------------------------------------------

const FlagName panel_flags[] = {
    {"REFRESH", PANEL_REFRESH, 0}, {"TRANSPARENT", PANEL_TRANSPARENT, 0}, {"RELPOS", PANEL_RELPOS, 0},
    {"VISIBLE", DISPLAY_VISIBLE, 0}};

enum PanelCode {
    N_PAN_MAP, N_MASK, N_IF_KLICK, N_POS_X, N_POS_Y, N_LAYER, N_BUTTON, N_HSLIDER, N_VSLIDER, N_PICTURE, N_WINDOW,
    N_HBAR, N_VBAR, N_DIGITS, N_MTEXT, N_MSPRITE, N_FLAGS,
};
const KeywordRow panel_rows[] = {
    {"PAN_MAP", N_PAN_MAP}, {"MASK", N_MASK},       {"IF_KLICK", N_IF_KLICK}, {"POS_X", N_POS_X},
    {"POS_Y", N_POS_Y},     {"LAYER", N_LAYER},     {"BUTTON", N_BUTTON},     {"HSLIDER", N_HSLIDER},
    {"VSLIDER", N_VSLIDER}, {"PICTURE", N_PICTURE}, {"WINDOW", N_WINDOW},     {"HBAR", N_HBAR},
    {"VBAR", N_VBAR},       {"DIGITS", N_DIGITS},   {"MTEXT", N_MTEXT},       {"MSPRITE", N_MSPRITE},
    {"FLAGS", N_FLAGS},
};
KeywordTable panel_table = KEYWORD_TABLE(panel_rows);

int take_bitmap(Bitmap** b, bool allow_null = false) {
    void* o = nullptr;
    if (take_object(KIND_BMAP, &o, allow_null) < 0) return -1;
    *b = (Bitmap*)o;
    return 0;
}

// A new element at the end of its kind's list.
PanelElement* append_element(Panel* p, int kind, int32_t x, int32_t y) {
    PanelElement* e = (PanelElement*)std::calloc(1, sizeof(PanelElement));
    if (!e) return nullptr;
    e->kind = kind;
    e->x = x;
    e->y = y;
    PanelElement** link = &p->elements[kind];
    while (*link) link = &(*link)->next;
    *link = e;
    return e;
}

// The slider's scales: its travel is the length less the knob, and the skill's range
// (MAX - MIN, formed in 64 bits) is spread over it. A travel of 0 or an empty range gives
// scales of 0 instead of a division by zero.
void slider_scales(PanelElement* e) {
    const Bitmap* knob = e->bitmap[0];
    int64_t knob_size = knob ? (e->kind == ELEM_HSLIDER ? knob->width : knob->height) : 0;
    int64_t length = e->length < 0 ? -int64_t(e->length) : e->length;
    int64_t travel = length - knob_size;
    if (travel < 0) travel = 0;
    int64_t range = e->skill ? int64_t(e->skill->maximum) - int64_t(e->skill->minimum) : 0;
    e->scale[0] = (travel > 0 && range != 0) ? travel * 1024 * 1024 / range : 0;  // pixels per unit
    e->scale[1] = travel > 0 ? range * 1024 / travel : 0;                       // units per pixel
}

int element_field(Panel* p, int code) {
    int32_t x = 0, y = 0;
    if (take_whole_pixels(&x) < 0 || take_whole_pixels(&y) < 0) return -1;
    static const int kinds[] = {ELEM_BUTTON, ELEM_HSLIDER, ELEM_VSLIDER, ELEM_PICTURE, ELEM_WINDOW,
                                ELEM_HBAR,   ELEM_VBAR,    ELEM_DIGITS,  ELEM_MTEXT};
    int kind = kinds[code - N_BUTTON];
    PanelElement* e = append_element(p, kind, x, y);
    if (!e) return field_error("panel_field");
    switch (kind) {
    case ELEM_BUTTON:
        if (take_bitmap(&e->bitmap[0]) < 0 || take_bitmap(&e->bitmap[1], true) < 0 || take_action(&e->action[0]) < 0 ||
            take_action(&e->action[1]) < 0)
            return -1;
        return 1;
    case ELEM_HSLIDER:
    case ELEM_VSLIDER: {
        void* skill = nullptr;
        if (take_whole_pixels(&e->length) < 0 || take_bitmap(&e->bitmap[0]) < 0 || take_object(KIND_SKILL, &skill) < 0)
            return -1;
        e->skill = (Skill*)skill;
        slider_scales(e);
        return 1;
    }
    case ELEM_PICTURE: {
        void* t = nullptr;
        if (take_object(KIND_TEXTURE, &t) < 0 || take_variable(&e->var[0]) < 0) return -1;
        e->texture = (Texture*)t;
        return 1;
    }
    case ELEM_WINDOW:
        if (take_whole_pixels(&e->width) < 0 || take_whole_pixels(&e->height) < 0 || take_bitmap(&e->bitmap[0]) < 0 ||
            take_variable(&e->var[0]) < 0 || take_variable(&e->var[1]) < 0)
            return -1;
        return 1;
    case ELEM_HBAR:
    case ELEM_VBAR:
        if (take_whole_pixels(&e->length) < 0 || take_bitmap(&e->bitmap[0]) < 0 || take_number(&e->factor) < 0 ||
            take_variable(&e->var[0]) < 0)
            return -1;
        return 1;
    case ELEM_DIGITS: {
        void* f = nullptr;
        if (take_whole_pixels(&e->length) < 0 || take_object(KIND_FONT, &f) < 0 || take_number(&e->factor) < 0 ||
            take_variable(&e->var[0]) < 0)
            return -1;
        e->font = (Font*)f;
        if (e->length > 32) {
            console_message("\r\n  DIGITS: at most 32 digits, not %d", e->length);
            return field_error("panel_field");
        }
        return 1;
    }
    default: {  // ELEM_MTEXT
        void* f = nullptr;
        if (take_object(KIND_FONT, &f, true) < 0 || take_bitmap(&e->bitmap[0], true) < 0 ||
            take_bitmap(&e->bitmap[1], true) < 0 || take_string(&e->string) < 0 || take_action(&e->action[0]) < 0)
            return -1;
        e->font = (Font*)f;
        return 1;
    }
    }
}

int panel_field_body(const char* keyword) {
    int code = find_keyword(panel_table, keyword);
    if (code < 0) return field_error("panel_field");
    if (!block.object) return -3;
    Panel* p = &block.panel;
    switch (code) {
    case N_PAN_MAP: return take_bitmap(&p->pan_map) < 0 ? -1 : 1;
    case N_MASK: return take_bitmap(&p->mask) < 0 ? -1 : 1;
    case N_IF_KLICK: return take_action(&p->if_klick) < 0 ? -1 : 1;
    case N_POS_X: return take_member_integer(&p->pos_x) < 0 ? -1 : 1;
    case N_POS_Y: return take_member_integer(&p->pos_y) < 0 ? -1 : 1;
    case N_LAYER: return take_member_integer(&p->layer) < 0 ? -1 : 1;
    case N_MSPRITE: {
        void* o = nullptr;
        if (take_object(KIND_OVERLAY, &o) < 0) return -1;
        p->msprite = (Overlay*)o;
        return 1;
    }
    case N_FLAGS: return take_flags(panel_flags, 4, &p->flags) < 0 ? -1 : 1;
    default: return element_field(p, code);
    }
}

int panel_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(panel_field_body(keyword), before);
}

void grow_box(int32_t* w, int32_t* h, int64_t right, int64_t bottom) {
    if (right > *w) *w = right > INT32_MAX ? INT32_MAX : int32_t(right);
    if (bottom > *h) *h = bottom > INT32_MAX ? INT32_MAX : int32_t(bottom);
}

// Without PAN_MAP: the bounding box of the buttons, sliders and digit displays.
void panel_size(Panel* p) {
    if (p->pan_map) {
        p->size_x = p->pan_map->width;
        p->size_y = p->pan_map->height;
        return;
    }
    int32_t w = 0, h = 0;
    for (PanelElement* e = p->elements[ELEM_BUTTON]; e; e = e->next) {
        const Bitmap* b = e->bitmap[0] ? e->bitmap[0] : e->bitmap[1];
        if (b) grow_box(&w, &h, int64_t(e->x) + b->width, int64_t(e->y) + b->height);
    }
    for (int kind : {ELEM_HSLIDER, ELEM_VSLIDER})
        for (PanelElement* e = p->elements[kind]; e; e = e->next) {
            const Bitmap* knob = e->bitmap[0];
            int64_t length = e->length < 0 ? -int64_t(e->length) : e->length;
            int64_t kw = knob ? knob->width : 0, kh = knob ? knob->height : 0;
            if (kind == ELEM_HSLIDER) grow_box(&w, &h, e->x + length, e->y + kh);
            else grow_box(&w, &h, e->x + kw, e->y + length);
        }
    for (PanelElement* e = p->elements[ELEM_DIGITS]; e; e = e->next) {
        int64_t gw = e->font ? e->font->glyph_width : 0, gh = e->font ? e->font->glyph_height : 0;
        grow_box(&w, &h, e->x + int64_t(e->length) * gw, e->y + gh);
    }
    p->size_x = w;
    p->size_y = h;
}

void panel_end() {
    Panel* target = (Panel*)block.object;
    block.object = nullptr;
    if (!target) return;
    if (!block_clean("PANEL")) {
        clear_scratch();
        return;
    }
    Panel* p = &block.panel;
    panel_size(p);
    free_panel_lists(target);
    DisplayHead head = target->head;
    void* extra = target->extra;
    *target = *p;
    target->head = head;
    target->extra = extra;
    std::memset(p->elements, 0, sizeof p->elements);  // now the panel's
    clear_scratch();
    definition_ops.add_to_display_list(&target->head);
}

// ---- OVERLAY ----------------------------------------------------------------------------------

const FlagName overlay_flags[] = {{"ABSPOS", OVERLAY_ABSPOS, 0}, {"VISIBLE", DISPLAY_VISIBLE, 0}};

enum OverlayCode { V_SIDES, V_SIDE, V_CYCLES, V_POS_X, V_POS_Y, V_LAYER, V_OVLYS, V_DELAY, V_FLAGS };
const KeywordRow overlay_rows[] = {
    {"SIDES", V_SIDES}, {"SIDE", V_SIDE},   {"CYCLES", V_CYCLES}, {"POS_X", V_POS_X}, {"POS_Y", V_POS_Y},
    {"LAYER", V_LAYER}, {"OVLYS", V_OVLYS}, {"DELAY", V_DELAY},   {"FLAGS", V_FLAGS},
};
KeywordTable overlay_table = KEYWORD_TABLE(overlay_rows);

int32_t at_least_1(int32_t v) { return v < 1 ? 1 : v; }

// OVLYS: SIDES x CYCLES overlay bitmaps, listed side by side within each cycle, stored as
// the textures' frames are (side s, cycle c at s * CYCLES + c).
int ovlys_field(Overlay* o) {
    if (block.ovlys_given) {
        console_message("\r\n  OVERLAY: OVLYS is given only once");
        return field_error("overlay_field");
    }
    int32_t sides = at_least_1(o->sides), cycles = at_least_1(o->cycles);
    int64_t expected = int64_t(sides) * cycles;
    OverlayBitmap* listed[max_statement_tokens];
    int n = 0;
    while (tokens_remaining()) {
        if (n >= max_statement_tokens) return field_error("overlay_field");
        void* b = nullptr;
        if (take_object(KIND_OVLY, &b) < 0) return -1;
        listed[n++] = (OverlayBitmap*)b;
    }
    if (n != expected) {
        console_message("\r\n  OVERLAY: OVLYS lists %d bitmaps, %d sides x %d cycles need %lld", n, sides, cycles,
                        (long long)expected);
        return field_error("overlay_field");
    }
    OverlayFrame* frames = (OverlayFrame*)std::calloc(size_t(expected), sizeof(OverlayFrame));
    if (!frames) return field_error("overlay_field");
    std::free(o->frames);
    o->frames = frames;
    o->frame_count = int32_t(expected);
    o->sides = sides;
    o->cycles = cycles;
    for (int i = 0; i < n; i++) frames[(i % sides) * cycles + i / sides].bitmap = listed[i];
    o->size_x = int32_t(uint32_t(listed[0]->width) << 10);
    o->size_y = int32_t(uint32_t(listed[0]->height) << 10);
    block.ovlys_given = true;
    return 1;
}

int overlay_delay_field(Overlay* o) {
    if (!o->frames) {
        console_message("\r\n  OVERLAY: DELAY comes after OVLYS");
        return field_error("overlay_field");
    }
    int c = 0;
    while (tokens_remaining()) {
        if (c >= o->cycles) {
            console_message("\r\n  OVERLAY: more delays than the overlay has cycles");
            return field_error("overlay_field");
        }
        int64_t d = 0;
        if (take_whole(&d) < 0) return -1;
        if (d < 1 || d > 536870911) {
            console_message("\r\n  OVERLAY: a DELAY is 1 ... 536870911 ticks");
            return field_error("overlay_field");
        }
        for (int32_t s = 0; s < o->sides; s++) {
            int64_t e = int64_t(s) * o->cycles + c;
            if (e < o->frame_count) o->frames[e].delay = int32_t(d);
        }
        c++;
    }
    return 1;
}

int overlay_field_body(const char* keyword) {
    int code = find_keyword(overlay_table, keyword);
    if (code < 0) return field_error("overlay_field");
    if (!block.object) return -3;
    Overlay* o = &block.overlay;
    switch (code) {
    case V_SIDES:
    case V_CYCLES: {
        int32_t v = 0;
        if (take_integer(&v) < 0) return -1;
        if ((code == V_CYCLES && v < 1) || v < 0 || v > 65535) {
            console_message("\r\n  OVERLAY: %s is %d ... 65535", keyword, code == V_CYCLES ? 1 : 0);
            return field_error("overlay_field");
        }
        if (o->frames && at_least_1(v) != (code == V_SIDES ? o->sides : o->cycles)) {
            console_message("\r\n  OVERLAY: %s cannot change after OVLYS", keyword);
            return field_error("overlay_field");
        }
        (code == V_SIDES ? o->sides : o->cycles) = v;
        return 1;
    }
    case V_SIDE: return take_member_integer(&o->side) < 0 ? -1 : 1;
    case V_POS_X: return take_member_integer(&o->pos_x) < 0 ? -1 : 1;
    case V_POS_Y: return take_member_integer(&o->pos_y) < 0 ? -1 : 1;
    case V_LAYER: return take_member_integer(&o->layer) < 0 ? -1 : 1;
    case V_OVLYS: return ovlys_field(o);
    case V_DELAY: return overlay_delay_field(o);
    default: return take_flags(overlay_flags, 2, &o->flags) < 0 ? -1 : 1;
    }
}

int overlay_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(overlay_field_body(keyword), before);
}

void overlay_end() {
    Overlay* target = (Overlay*)block.object;
    block.object = nullptr;
    if (!target) return;
    Overlay* o = &block.overlay;
    if (!o->frames && !(load_mode & LOAD_REDEFINE)) {
        console_message("\r\n  OVERLAY %s: an overlay needs OVLYS", target->head.name ? target->head.name : "");
        field_error("overlay_end");
        clear_scratch();
        return;
    }
    if (!block_clean("OVERLAY")) {
        clear_scratch();
        return;
    }
    o->sides = at_least_1(o->sides);
    o->cycles = at_least_1(o->cycles);
    if (!o->frames && target->frames) {
        // A reload without OVLYS keeps the frames it had.
        o->frames = target->frames;
        o->frame_count = target->frame_count;
        o->size_x = target->size_x;
        o->size_y = target->size_y;
        target->frames = nullptr;
    }
    std::free(target->frames);
    DisplayHead head = target->head;
    void* extra = target->extra;
    *target = *o;
    target->head = head;
    target->extra = extra;
    o->frames = nullptr;  // now the overlay's
    clear_scratch();
    definition_ops.add_to_display_list(&target->head);
}

// ---- TEXT -------------------------------------------------------------------------------------

const FlagName text_flags[] = {
    {"CONDENSED", TEXT_CONDENSED, 0}, {"CENTER_X", TEXT_CENTER_X, 0}, {"CENTER_Y", TEXT_CENTER_Y, 0},
    {"CENTER", TEXT_CENTER_X | TEXT_CENTER_Y, 0}, {"NARROW", TEXT_NARROW, 0}, {"VISIBLE", DISPLAY_VISIBLE, 0}};

enum TextCode {
    T_POS_X, T_POS_Y, T_LAYER, T_INDEX, T_SIZE_Y, T_OFFSET_Y, T_VIEWPOS, T_FONT, T_FLAGS, T_STRINGS, T_DEF_STR,
    T_STRING, T_DATAVIEW,
};
const KeywordRow text_rows[] = {
    {"POS_X", T_POS_X},       {"POS_Y", T_POS_Y},     {"LAYER", T_LAYER},       {"INDEX", T_INDEX},
    {"SIZE_Y", T_SIZE_Y},     {"OFFSET_Y", T_OFFSET_Y}, {"VIEWPOS", T_VIEWPOS}, {"FONT", T_FONT},
    {"FLAGS", T_FLAGS},       {"STRINGS", T_STRINGS}, {"DEF_STR", T_DEF_STR},   {"STRING", T_STRING},
    {"DATAVIEW", T_DATAVIEW},
};
KeywordTable text_table = KEYWORD_TABLE(text_rows);

constexpr int32_t MAX_TEXT_STRINGS = 65536;

int make_slots(Text* t, int32_t count) {
    ScriptString** slots = (ScriptString**)std::calloc(size_t(count > 0 ? count : 1), sizeof(ScriptString*));
    if (!slots) return field_error("text_field");
    std::free(t->strings);
    t->strings = slots;
    t->string_count = count;
    return 1;
}

int text_field_body(const char* keyword) {
    int code = find_keyword(text_table, keyword);
    if (code < 0) return field_error("text_field");
    if (!block.object) return -3;
    Text* t = &block.text;
    switch (code) {
    case T_POS_X: return take_member_integer(&t->pos_x) < 0 ? -1 : 1;
    case T_POS_Y: return take_member_integer(&t->pos_y) < 0 ? -1 : 1;
    case T_LAYER: return take_member_integer(&t->layer) < 0 ? -1 : 1;
    case T_INDEX: return take_member_integer(&t->index) < 0 ? -1 : 1;
    case T_SIZE_Y: return take_member_integer(&t->size_y) < 0 ? -1 : 1;
    case T_OFFSET_Y: return take_member_integer(&t->offset_y) < 0 ? -1 : 1;
    case T_VIEWPOS: return take_member_integer(&t->viewpos) < 0 ? -1 : 1;
    case T_FONT: {
        void* f = nullptr;
        if (take_object(KIND_FONT, &f) < 0) return -1;
        t->font = (Font*)f;
        t->scale_x = int32_t(uint32_t(t->font->glyph_width) << 10);
        t->scale_y = int32_t(uint32_t(t->font->glyph_height) << 10);
        return 1;
    }
    case T_FLAGS: return take_flags(text_flags, 6, &t->flags) < 0 ? -1 : 1;
    case T_STRINGS: {
        int32_t n = 0;
        if (take_integer(&n) < 0) return -1;
        if (block.strings_given || t->dataview) {
            console_message("\r\n  TEXT: STRINGS is given once, and not with DATAVIEW");
            return field_error("text_field");
        }
        if (n < 1 || n > MAX_TEXT_STRINGS) {
            console_message("\r\n  TEXT: STRINGS is 1 ... %d", MAX_TEXT_STRINGS);
            return field_error("text_field");
        }
        block.strings_given = true;
        return make_slots(t, n);
    }
    case T_DEF_STR: {
        ScriptString* s = nullptr;
        if (take_string(&s) < 0) return -1;
        for (int32_t i = 0; i < t->string_count; i++)
            if (!t->strings[i]) t->strings[i] = s;
        return 1;
    }
    case T_STRING: {
        while (tokens_remaining()) {
            ScriptString* s = nullptr;
            if (take_string(&s) < 0) return -1;
            // With a count of 1 and no slots yet, the one slot is made.
            if (!t->strings && !t->dataview && make_slots(t, 1) < 0) return -1;
            int32_t i = 0;
            while (i < t->string_count && t->strings[i]) i++;
            if (i >= t->string_count) {
                reader.cursor = reader.token_count;  // the slots are full: the rest is dropped
                break;
            }
            t->strings[i] = s;
        }
        return 1;
    }
    default: {  // T_DATAVIEW
        void* v = nullptr;
        if (take_object(KIND_DATAVIEW, &v) < 0) return -1;
        if (block.strings_given) {
            console_message("\r\n  TEXT: DATAVIEW and STRINGS do not go together");
            return field_error("text_field");
        }
        DataView* view = (DataView*)v;
        t->dataview = view;
        int32_t rows = view->database ? view->database->row_count : 0;
        return make_slots(t, rows);
    }
    }
}

int text_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(text_field_body(keyword), before);
}

void text_end() {
    Text* target = (Text*)block.object;
    block.object = nullptr;
    if (!target) return;
    Text* t = &block.text;
    const char* name = target->head.name ? target->head.name : "";
    bool complete = true;
    if (!t->font) {
        console_message("\r\n  TEXT %s: a text needs a FONT", name);
        field_error("text_end");
        complete = false;
    }
    if (!t->dataview && (!t->strings || t->string_count == 0)) {
        console_message("\r\n  TEXT %s: a text needs STRING or a DATAVIEW", name);
        field_error("text_end");
        complete = false;
    }
    if (!complete || !block_clean("TEXT")) {
        clear_scratch();
        return;
    }
    int32_t index = t->index >> 10;
    if (t->strings && t->string_count > 0)
        t->string = t->strings[(index >= 1 && index <= t->string_count) ? index - 1 : 0];
    std::free(target->strings);
    DisplayHead head = target->head;
    void* extra = target->extra;
    *target = *t;
    target->head = head;
    target->extra = extra;
    t->strings = nullptr;  // now the text's
    clear_scratch();
    definition_ops.add_to_display_list(&target->head);
}

// ---- VIEW -------------------------------------------------------------------------------------

const FlagName view_flags[] = {{"VISIBLE", DISPLAY_VISIBLE, 0}};

enum ViewCode { W_POS_X, W_POS_Y, W_SIZE_X, W_SIZE_Y, W_LAYER, W_GENIUS, W_FLAGS };
const KeywordRow view_rows[] = {
    {"POS_X", W_POS_X}, {"POS_Y", W_POS_Y},   {"SIZE_X", W_SIZE_X}, {"SIZE_Y", W_SIZE_Y},
    {"LAYER", W_LAYER}, {"GENIUS", W_GENIUS}, {"FLAGS", W_FLAGS},
};
KeywordTable view_table = KEYWORD_TABLE(view_rows);

int view_genius(View* v) {
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    NameEntry* e = lookup_name(name);
    if (e && e->object && e->kind == KIND_THING) {
        v->genius = e->object;
        return 1;
    }
    if (e && e->object && e->kind == KIND_SYNONYM) {
        Synonym* s = (Synonym*)e->object;
        if (s->type == KIND_OBJECT || s->type == KIND_THING) {
            v->genius = s->ref ? *s->ref : s->object;
            return 1;
        }
    }
    if (e && e->kind == KIND_WALL) {
        console_message("\r\n  VIEW: a wall cannot be the GENIUS of a view");
        return field_error("view_field");
    }
    if (!e && v->genius) return 1;  // an unknown name keeps the genius set already
    console_message("\r\n  GENIUS %s: no thing or actor of that name", name);
    return field_error("view_field");
}

int view_field_body(const char* keyword) {
    int code = find_keyword(view_table, keyword);
    if (code < 0) return field_error("view_field");
    if (!block.object) return -3;
    View* v = &block.view;
    switch (code) {
    case W_POS_X: return take_member_integer(&v->pos_x) < 0 ? -1 : 1;
    case W_POS_Y: return take_member_integer(&v->pos_y) < 0 ? -1 : 1;
    case W_SIZE_X: return take_member_integer(&v->size_x) < 0 ? -1 : 1;
    case W_SIZE_Y: return take_member_integer(&v->size_y) < 0 ? -1 : 1;
    case W_LAYER: return take_member_integer(&v->layer) < 0 ? -1 : 1;
    case W_GENIUS: return view_genius(v);
    default: return take_flags(view_flags, 1, &v->flags) < 0 ? -1 : 1;
    }
}

int view_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(view_field_body(keyword), before);
}

int32_t clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }

void view_end() {
    View* target = (View*)block.object;
    block.object = nullptr;
    if (!target) return;
    if (!block_clean("VIEW")) {
        clear_scratch();
        return;
    }
    View* v = &block.view;
    int32_t width = 0, height = 0;
    screen_size(&width, &height);
    int32_t w = int32_t(uint32_t(width) << 10), h = int32_t(uint32_t(height) << 10);
    // Into the screen: position 0 ... screen size, size at most what is left, none negative.
    v->pos_x = clamp(v->pos_x, 0, w);
    v->pos_y = clamp(v->pos_y, 0, h);
    v->size_x = clamp(v->size_x, 0, w - v->pos_x);
    v->size_y = clamp(v->size_y, 0, h - v->pos_y);
    target->flags = v->flags;
    target->genius = v->genius;
    target->pos_x = v->pos_x;
    target->pos_y = v->pos_y;
    target->size_x = v->size_x;
    target->size_y = v->size_y;
    target->layer = v->layer;
    clear_scratch();
}

}  // namespace

int open_panel(const char*) { return open_display_block(KIND_PANEL, STATE_PANEL, panel_field, panel_end); }
int open_overlay(const char*) { return open_display_block(KIND_OVERLAY, STATE_OVERLAY, overlay_field, overlay_end); }
int open_text(const char*) { return open_display_block(KIND_TEXT, STATE_TEXT, text_field, text_end); }
int open_view(const char*) { return open_display_block(KIND_VIEW, STATE_VIEW, view_field, view_end); }

void reset_display_blocks() {
    clear_scratch();
    block.kind = 0;
    block.object = nullptr;
}
