// The dispatch loop: runs an action's instructions from its resume position, with the
// nesting limit and the instruction budget of a run, and the run-time effect of every
// opcode. Handler routines and the scheduler live beside it.
#include "script/exec/interpreter.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "engine/clock.h"
#include "engine/console.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/compiler.h"
#include "script/exec/exec_ops.h"
#include "script/exec/file_request.h"
#include "script/exec/interpreter_internal.h"
#include "script/front/catalogue.h"
#include "world/save_path.h"

ExecContext exec;
int64_t run_instruction_budget = RUN_INSTRUCTION_BUDGET;
FileRequest file_request;
ExecOps exec_ops;

static_assert(offsetof(Skill, minimum) == offsetof(Skill, value) + 4 &&
                  offsetof(Skill, maximum) == offsetof(Skill, value) + 8,
              "a skill's value is followed by its limits");

void clamp_skill_cell(void* cell) {
    int32_t* v = static_cast<int32_t*>(cell);
    if (v == reinterpret_cast<int32_t*>(&exec.scratch_zero)) return;
    if (v[0] < v[1]) v[0] = v[1];
    if (v[0] > v[2]) v[0] = v[2];
}

namespace {

inline int32_t wrap_add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }

// The product rule of expressions without the minimum unit: 64-bit, rounded toward zero
// for negative products within 2^32.
inline int32_t fixed_mul(int32_t a, int32_t b) {
    int64_t p = int64_t(a) * b;
    if (p < 0 && p >= -(int64_t(1) << 32)) p += 1023;
    return int32_t(p >> 10);
}

inline bool compare(int32_t opcode, int64_t a, int64_t b, uint32_t mask) {
    switch (opcode) {
    case OP_JUMP_ABOVE: return a > b;
    case OP_JUMP_BELOW: return a < b;
    case OP_JUMP_EQUAL: return a == b;
    case OP_JUMP_NEQUAL: return a != b;
    case OP_JUMP_NOT_ABOVE: return a <= b;
    case OP_JUMP_NOT_BELOW: return a >= b;
    case OP_JUMP_BITS_SET: return (uint32_t(a) & mask) != 0;
    default: return (uint32_t(a) & mask) == 0;
    }
}

// A handler argument: 64 bits for a literal cell or a pointer operand, else the
// sign-extended 32-bit value.
inline int64_t argument(const Instruction* ip, int k) {
    const void* cell = operand_cell(ip, k);
    if ((ip->exec_marks & (EXEC_LITERAL1 << k)) || (ip->width_flags & (1 << k))) {
        int64_t v;
        std::memcpy(&v, cell, sizeof v);
        return v;
    }
    return read32(cell);
}

void store_result(const Instruction* ip, int64_t value) {
    void* a = operand_cell(ip, 0);
    write32(a, int32_t(value));
    if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(a);
}

// ACCEL: the speed in A approaches the force B under FRICTION and INERTIA.
int32_t round_fixed(int64_t x) { return int32_t((x >> 10) + ((x >> 9) & 1)); }

void accelerate(const Instruction* ip) {
    int32_t time_corr;
    if (!var_get(SLOT_TIME_CORR, &time_corr)) return;
    int32_t friction;
    int64_t f = var_get(SLOT_FRICTION, &friction) ? int64_t(round_fixed(int64_t(friction) * time_corr)) * 1024 : 0;
    int32_t i = var_value(SLOT_INERTIA, 0);
    if (i == 0) i = 1024;
    int64_t v = f / i;
    void* cell = operand_cell(ip, 0);
    int32_t a = read32(cell);
    int32_t b = operand_value(ip, 1);
    int64_t force = (int64_t(time_corr) * b / 1024) * 1024;
    int64_t result;
    if (v >= 1024) {
        int64_t d = round_fixed(v * i);
        if (d == 0) d = 1024;
        result = force / d;
    } else {
        result = int64_t(a) * (1024 - v) / 1024 + force / i;
    }
    write32(cell, int32_t(result));
    if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(cell);
}

// SET of GROUND on a thing moves the height of its position into HEIGHT; clearing it
// re-places the thing and takes the position height back out.
void ground_special(MapObject* o, uint32_t before, bool set, uint32_t mask) {
    if (!o || !(mask & OBJ_GROUND) || !(before & OBJ_THING)) return;
    Vertex* position = o->vertex1;
    if (set && !(before & OBJ_GROUND)) {
        if (position) {
            o->height = wrap_add(o->height, position->z);
            position->z = 0;
        }
    } else if (!set && (before & OBJ_GROUND)) {
        if (exec_ops.place_object) exec_ops.place_object(o);
        if (position) o->height = int32_t(uint32_t(o->height) - uint32_t(position->z));
    }
}

void flag_instruction(const Instruction* ip, bool set) {
    void* cell = operand_cell(ip, 0);
    uint32_t mask = uint32_t(ip->aux.word);
    uint32_t before = uint32_t(read32(cell));
    write32(cell, int32_t(set ? (before | mask) : (before & ~mask)));
    if (ip->exec_marks & EXEC_OBJECT_FLAGS) ground_special(static_cast<MapObject*>(operand1_owner(ip)), before, set, mask);
}

void set_texture(const Instruction* ip) {
    void* slot = operand_cell(ip, 0);
    if (!read_pointer(slot) || !ip->aux.texture) return;
    void* owner = operand1_owner(ip);
    if (owner) ip->aux.texture(owner, static_cast<Texture*>(operand_pointer(ip, 1)), 0);
}

void text_index(const Instruction* ip) {
    auto* text = static_cast<Text*>(operand1_owner(ip));
    int32_t b = operand_value(ip, 1);
    int32_t n = b >> 10;
    if (!text || n < 1 || n > text->string_count) return;
    text->index = b;
    if (text->strings) text->string = text->strings[n - 1];
}

void text_string(const Instruction* ip) {
    auto* text = static_cast<Text*>(operand1_owner(ip));
    if (!text || !text->strings) return;
    int32_t n = text->index >> 10;
    if (n < 1 || n > text->string_count) return;
    auto* string = static_cast<ScriptString*>(operand_pointer(ip, 1));
    text->strings[n - 1] = string;
    text->string = string;
}

// The kept opcode of SET_ALL applied to one object's field.
void apply_to_object(const Instruction* ip, MapObject* o, void* value_cell) {
    char* base = reinterpret_cast<char*>(o);
    char* cell = base + ip->member_a;
    if (ip->exec_marks & EXEC_SET_ALL_INDIRECT) {
        char* inner = static_cast<char*>(read_pointer(cell));
        if (!inner) return;
        cell = inner + ip->member_b;
    }
    switch (ip->target.value) {
    case OP_COPY:
        if (ip->width_flags & WIDTH_OP1) std::memcpy(cell, value_cell, sizeof(void*));
        else std::memcpy(cell, value_cell, sizeof(int32_t));
        break;
    case OP_SET_TEXTURE:
        if (ip->aux.texture) ip->aux.texture(o, static_cast<Texture*>(read_pointer(value_cell)), 0);
        break;
    case OP_SET_FLAGS:
    case OP_CLEAR_FLAGS: {
        uint32_t before = uint32_t(read32(cell));
        uint32_t mask = uint32_t(ip->aux.word);
        bool set = ip->target.value == OP_SET_FLAGS;
        write32(cell, int32_t(set ? (before | mask) : (before & ~mask)));
        ground_special(o, before, set, mask);
        break;
    }
    case OP_TARGET_WAY:
        o->target = TARGET_WAY;
        o->waypoint = 1;
        o->target_object = read_pointer(value_cell);
        o->way_step = -1;
        break;
    case OP_TARGET_OBJECT:
        o->target = TARGET_OBJECT;
        o->target_mark = 1;
        o->target_object = read_pointer(value_cell);
        break;
    case OP_TARGET_CALL: {
        intptr_t which = reinterpret_cast<intptr_t>(ip->aux.ptr);
        void (*routine)(MapObject*) = which == 1   ? exec_ops.target_drop
                                      : which == 2 ? exec_ops.target_place
                                                   : exec_ops.target_stick;
        if (routine) routine(o);
        break;
    }
    case OP_TARGET_SPECIAL:
        o->target = TARGET_VERTEX;
        o->target_mark = 1;
        break;
    default:
        break;
    }
}

void set_all_objects(const Instruction* ip) {
    auto* model = static_cast<MapObject*>(operand1_owner(ip));
    if (!model) return;
    void* value = operand_cell(ip, 1);
    char copy[8];
    std::memcpy(copy, value, sizeof copy);  // the source may be a field of a changed object
    for (MapObject* o = catalogue.objects; o; o = o->next)
        if (same_identity(o->identity, model->identity)) apply_to_object(ip, o, copy);
}

void set_all_regions(const Instruction* ip) {
    auto* model = static_cast<Region*>(operand1_owner(ip));
    if (!model) return;
    void* value = operand_cell(ip, 1);
    char copy[8];
    std::memcpy(copy, value, sizeof copy);
    for (Region* r = catalogue.regions; r; r = r->next) {
        if (!same_identity(r->identity, model->identity)) continue;
        char* cell = reinterpret_cast<char*>(r) + ip->member_a;
        switch (ip->target.value) {
        case OP_COPY:
            std::memcpy(cell, copy, (ip->width_flags & WIDTH_OP1) ? sizeof(void*) : sizeof(int32_t));
            break;
        case OP_SET_TEXTURE:
            if (ip->aux.texture) ip->aux.texture(r, static_cast<Texture*>(read_pointer(copy)), 0);
            break;
        case OP_SET_FLAGS:
            write32(cell, int32_t(uint32_t(read32(cell)) | uint32_t(ip->aux.word)));
            break;
        case OP_CLEAR_FLAGS:
            write32(cell, int32_t(uint32_t(read32(cell)) & ~uint32_t(ip->aux.word)));
            break;
        default:
            break;
        }
    }
}

void target_instruction(const Instruction* ip) {
    auto* o = static_cast<MapObject*>(operand1_owner(ip));
    void* cell = operand_cell(ip, 0);
    switch (ip->opcode) {
    case OP_TARGET_WAY:
        write32(cell, TARGET_WAY);
        if (o) {
            o->waypoint = 1;
            o->target_object = operand_pointer(ip, 1);
            o->way_step = -1;
        }
        break;
    case OP_TARGET_OBJECT:
        write32(cell, TARGET_OBJECT);
        if (o) {
            o->target_mark = 1;
            o->target_object = operand_pointer(ip, 1);
        }
        break;
    default:
        write32(cell, TARGET_VERTEX);
        if (o) o->target_mark = 1;
        break;
    }
}

// DROP, PLACE or STICK given to a TARGET: the routine runs once for the object.
void target_call(const Instruction* ip) {
    auto* o = static_cast<MapObject*>(operand1_owner(ip));
    if (!o) return;
    intptr_t which = reinterpret_cast<intptr_t>(ip->aux.ptr);
    void (*routine)(MapObject*) = which == 1 ? exec_ops.target_drop : which == 2 ? exec_ops.target_place : exec_ops.target_stick;
    if (routine) routine(o);
}

void copy_text(char* field, size_t size, const char* text) { std::snprintf(field, size, "%s", text ? text : ""); }

void file_request_instruction(const Instruction* ip) {
    int32_t mode = int32_t(ip->aux.word);
    copy_text(file_request.name, sizeof file_request.name, string_text(operand_pointer(ip, 0)));
    file_request.mode = mode;
    frame_timing.pending_request = mode;
    if (mode == FILE_MAP || mode == FILE_SCAN) return;
    if (mode == FILE_LEVEL) {
        bool second = ip->op[1].base != nullptr;
        copy_text(file_request.second, sizeof file_request.second, second ? string_text(operand_pointer(ip, 1)) : "");
        return;
    }
    file_request.number = operand_value(ip, 1);
    int (*now)(const char*, int32_t) = mode == FILE_SAVE        ? exec_ops.save_game
                                       : mode == FILE_SAVE_INFO ? exec_ops.save_info
                                       : mode == FILE_LOAD_INFO ? exec_ops.load_info
                                                                : nullptr;
    if (mode == FILE_SAVE || mode == FILE_SAVE_INFO || mode == FILE_LOAD_INFO) {
        if (now) now(file_request.name, file_request.number);
        frame_timing.pending_request = 0;
    }
}

void screenshot(const Instruction* ip) {
    char path[512];
    if (make_save_path(string_text(operand_pointer(ip, 0)), operand_value(ip, 1), true, "pcx", path, sizeof path) != 0)
        return;
    // The tone between the two port writes lasts 100 ms; the picture writer writes nothing.
    clock_sleep_ms(100);
}

// The waits: a queued wait ends the run and continues in a later pass; an in-place wait
// (per-tick actions, -V308) keeps the action at this instruction for its later runs.
// Returns the instruction to continue with, or null when the run ends here.
Instruction* wait_instruction(Instruction* ip, bool* ends) {
    *ends = false;
    Action* action = exec.current_action;
    if (!action || !action->first) return ip->next;
    int32_t n = operand_value(ip, 1);
    int32_t d = ip->opcode == OP_WAIT ? 1024 : var_value(SLOT_TIME_CORR, 1024);
    if (!exec.per_tick_run && !settings.v308) {
        if (n < 1024) return ip->next;
        schedule_run(action, ip, ip->next, int64_t(n) - d, world_refs.my, world_refs.there);
        *ends = true;
        return nullptr;
    }
    Instruction* first = action->first;
    if (!(first->addr_flags & ADDR_WAITING)) {
        first->addr_flags |= ADDR_WAITING;
        ip->target.value = n;
    }
    action->resume = ip;
    if (ip->target.value > 1023) {
        ip->target.value -= d;
        *ends = true;
        return nullptr;
    }
    action->resume = first;
    first->addr_flags &= uint8_t(~ADDR_WAITING);
    return ip->next;
}

void budget_spent() {
    if (exec.budget_reported) return;
    exec.budget_reported = true;
    const char* name = exec.current_action && exec.current_action->name ? exec.current_action->name : "(unnamed)";
    console_message("\ndravo: action %s ran %lld instructions without waiting -- the run is stopped", name,
                    (long long)run_instruction_budget);
    report_error("action interpreter: a run past its instruction budget");
}


inline Instruction* end_run(int* ended, int how) {
    *ended = how;
    return nullptr;
}
// One instruction of any opcode: the instruction to continue with. *ended becomes 1 when
// the run ends here, 2 when it ends with EXIT.
Instruction* step(Instruction* ip, int* ended) {
    {
        Instruction* next = ip->next;
        switch (ip->opcode) {
        case OP_RULE: {
            if (__builtin_expect((ip->exec_marks & EXEC_LOOK_OWNED) && (settings.mouse_look || settings.joy_look), 0))
                break;
            int32_t v;
            switch (ip->fast) {
            case FAST_ADD:
                v = wrap_add(*ip->fast_a, *ip->fast_b);
                *ip->fast_dest = v;
                break;
            case FAST_SUM_PRODUCT:
                v = wrap_add(*ip->fast_a, fixed_mul(*ip->fast_b, *ip->fast_c));
                *ip->fast_dest = v;
                break;
            default:
                v = ip->aux.tree ? evaluate(ip->aux.tree) : 0;
                break;
            }
            void* a = operand_cell(ip, 0);
            write32(a, v);
            if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(a);
            break;
        }
        case OP_IF: {
            bool truth;
            switch (ip->fast) {
            case FAST_LT: truth = *ip->fast_a < *ip->fast_b; break;
            case FAST_GT: truth = *ip->fast_a > *ip->fast_b; break;
            case FAST_LE: truth = *ip->fast_a <= *ip->fast_b; break;
            case FAST_GE: truth = *ip->fast_a >= *ip->fast_b; break;
            case FAST_EQ: truth = *ip->fast_a == *ip->fast_b; break;
            case FAST_NE: truth = *ip->fast_a != *ip->fast_b; break;
            default:
                if (!ip->aux.tree) return end_run(ended, 1);
                truth = evaluate(ip->aux.tree) != 0;
                break;
            }
            if (!truth) next = ip->target.jump;
            break;
        }
        case OP_JUMP:
        case OP_ELSE:
            next = ip->target.jump;
            break;
        case OP_JUMP_ABOVE:
        case OP_JUMP_BELOW:
        case OP_JUMP_EQUAL:
        case OP_JUMP_NEQUAL:
        case OP_JUMP_NOT_ABOVE:
        case OP_JUMP_NOT_BELOW:
        case OP_JUMP_BITS_SET:
        case OP_JUMP_BITS_CLEAR: {
            bool wide = ip->width_flags & (WIDTH_OP1 | WIDTH_OP2);
            int64_t a, b;
            if (wide) {
                a = int64_t(reinterpret_cast<intptr_t>(operand_pointer(ip, 0)));
                b = int64_t(reinterpret_cast<intptr_t>(operand_pointer(ip, 1)));
            } else {
                a = operand_value(ip, 0);
                b = operand_value(ip, 1);
            }
            if (compare(ip->opcode, a, b, uint32_t(ip->aux.word))) next = ip->target.jump;
            break;
        }
        case OP_COPY: {
            if ((ip->exec_marks & EXEC_LOOK_OWNED) && (settings.mouse_look || settings.joy_look)) break;
            void* a = operand_cell(ip, 0);
            const void* b = operand_cell(ip, 1);
            if (ip->width_flags & WIDTH_OP1) {
                std::memmove(a, b, sizeof(void*));
            } else {
                write32(a, read32(b));
                if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(a);
            }
            break;
        }
        case OP_SET_TEXTURE: set_texture(ip); break;
        case OP_TEXT_INDEX: text_index(ip); break;
        case OP_TEXT_STRING: text_string(ip); break;
        case OP_AND: {
            if ((ip->exec_marks & EXEC_LOOK_OWNED) && (settings.mouse_look || settings.joy_look)) break;
            void* a = operand_cell(ip, 0);
            write32(a, read32(a) & operand_value(ip, 1));
            if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(a);
            break;
        }
        case OP_ACCEL:
            if ((ip->exec_marks & EXEC_LOOK_OWNED) && (settings.mouse_look || settings.joy_look)) break;
            accelerate(ip);
            break;
        case OP_WHILE_OPEN:
        case OP_BREAK_OPEN:
        case OP_NOP:
            break;
        case OP_BRANCH: {
            auto* action = static_cast<Action*>(operand_pointer(ip, 0));
            if (!action) break;
            exec.current_action = exec.report_action = action;
            next = action->resume;
            action->resume = action->first;
            break;
        }
        case OP_CALL: {
            auto* action = static_cast<Action*>(operand_pointer(ip, 0));
            exec.last_called = action;
            run_action(action);  // an EXIT inside ends only the called action
            break;
        }
        case OP_SET_ALL_OBJECTS: set_all_objects(ip); break;
        case OP_SET_ALL_REGIONS: set_all_regions(ip); break;
        case OP_PLAY_SOUND:
            if (exec_ops.play_sound) {
                auto* at = (ip->addr_flags & ADDR_SOUND_AT_OBJECT) ? static_cast<MapObject*>(operand_pointer(ip, 2)) : nullptr;
                int32_t balance = at ? 0 : operand_value(ip, 2);
                exec_ops.play_sound(static_cast<Sound*>(operand_pointer(ip, 0)), operand_value(ip, 1), balance, at);
            }
            break;
        case OP_PLAY_SOUNDFILE:
            if (exec_ops.play_sound_file)
                exec_ops.play_sound_file(string_text(operand_pointer(ip, 0)), operand_value(ip, 1), operand_value(ip, 2));
            break;
        case OP_PLAY_SONG:
            if (exec_ops.play_song)
                exec_ops.play_song(static_cast<Sound*>(operand_pointer(ip, 0)), operand_value(ip, 1), ip->aux.word == 1024);
            break;
        case OP_PLAY_FLICFILE:
            if (exec_ops.play_flic_file) exec_ops.play_flic_file(string_text(operand_pointer(ip, 0)));
            break;
        case OP_SET_FLAGS: flag_instruction(ip, true); break;
        case OP_CLEAR_FLAGS: flag_instruction(ip, false); break;
        case OP_WAIT:
        case OP_WAIT_TICKS: {
            bool ends;
            next = wait_instruction(ip, &ends);
            if (ends) return end_run(ended, 1);
            break;
        }
        case OP_INPORT: store_result(ip, 0); break;  // the port read yields 0
        case OP_OUTPORT: break;                      // the port operations have no effect
        case OP_SELECT:
            if (exec_ops.select_rows)
                exec_ops.select_rows(int32_t(ip->aux.word), static_cast<DataView*>(operand_pointer(ip, 0)),
                                     int32_t(ip->target.value), string_text(operand_pointer(ip, 1)));
            break;
        case OP_PLACE_SEL: {
            auto* view = static_cast<DataView*>(operand_pointer(ip, 0));
            auto* object = static_cast<MapObject*>(operand_pointer(ip, 1));
            int32_t result = -1024;
            if (view && object && exec_ops.place_selection)
                result = int32_t(uint32_t(exec_ops.place_selection(view, object, operand_value(ip, 2) >> 10)) * 1024u);
            var_set(SLOT_RESULT, result);
            break;
        }
        case OP_SHIFT:
            if (exec_ops.shift_region)
                exec_ops.shift_region(static_cast<Region*>(operand_pointer(ip, 0)), operand_value(ip, 1), operand_value(ip, 2));
            break;
        case OP_INKEY: {
            auto* string = static_cast<ScriptString*>(operand_pointer(ip, 0));
            Action* action = exec.current_action;
            if (string && action && !line_input_active()) {
                schedule_run(action, ip, ip->next, int64_t(reinterpret_cast<intptr_t>(string)), world_refs.my,
                             world_refs.there);
                start_line_input(string);
            }
            return end_run(ended, 1);
        }
        case OP_MIDI_COM:
        case OP_SETMIDI:
        case OP_LOADBANK:
        case OP_FLOADVOICE:
        case OP_DELVOICE:
            break;  // no MIDI or FM voice device is driven
        case OP_GETMIDI: write32(operand_cell(ip, 1), -1024); break;
        case OP_FILE_REQUEST: file_request_instruction(ip); break;
        case OP_SCREENSHOT: screenshot(ip); break;
        case OP_FIND_WAY: {
            int32_t result = 0;
            if (exec_ops.find_way)
                result = exec_ops.find_way(static_cast<Way*>(operand_pointer(ip, 0)), static_cast<MapObject*>(operand_pointer(ip, 1)));
            var_set(SLOT_RESULT, result);
            break;
        }
        case OP_EXCLUSIVE: cancel_runs(exec.current_action, world_refs.my, world_refs.there); break;
        case OP_GFX_STRING: break;  // the print page does not exist
        case OP_TO_MAP:
            if (exec_ops.to_map) {
                auto* x = static_cast<int32_t*>(operand_cell(ip, 0));
                auto* y = static_cast<int32_t*>(operand_cell(ip, 1));
                exec_ops.to_map(x, y);
            }
            break;
        case OP_TARGET_WAY:
        case OP_TARGET_OBJECT:
        case OP_TARGET_SPECIAL: target_instruction(ip); break;
        case OP_TARGET_CALL: target_call(ip); break;
        case OP_FREEZE: {
            auto* bitmap = reinterpret_cast<Bitmap*>(intptr_t(ip->target.value));
            int32_t count = operand_value(ip, 1) >> 10;
            if (bitmap && exec_ops.freeze_frame)
                exec_ops.freeze_frame(bitmap->pixels, bitmap->width, bitmap->height, count < 1 ? 1 : count);
            break;
        }
        case OP_FUNCTION: var_set(SLOT_RESULT, (operand_value(ip, 0) >> 10) == 1 ? 1024 : 0); break;
        case OP_CALL0: ip->aux.routine(0, 0, 0); break;
        case OP_CALL1: ip->aux.routine(argument(ip, 0), 0, 0); break;
        case OP_CALL0_RESULT: store_result(ip, ip->aux.routine(0, 0, 0)); break;
        case OP_CALL1_RESULT: store_result(ip, ip->aux.routine(argument(ip, 1), 0, 0)); break;
        case OP_CALL2: ip->aux.routine(argument(ip, 0), argument(ip, 1), 0); break;
        case OP_CALL2_RESULT: store_result(ip, ip->aux.routine(argument(ip, 1), argument(ip, 2), 0)); break;
        case OP_CALL3: ip->aux.routine(argument(ip, 0), argument(ip, 1), argument(ip, 2)); break;
        case OP_EXIT: {
            auto* string = static_cast<ScriptString*>(operand_pointer(ip, 0));
            copy_text(file_request.exit_text, sizeof file_request.exit_text,
                      string && string->text ? string->text : ip->target.text);
            frame_timing.pending_request |= REQUEST_EXIT;
            exec.halted = true;
            return end_run(ended, 2);
        }
        case OP_END:
            return end_run(ended, 1);
        default:
            break;  // an opcode outside 0..65 continues with the next instruction
        }
        return next;
    }
}


// Runs instructions from `ip` until the run ends: 0, or 1 after EXIT. The shapes that loops
// use most run here without a call; every other instruction goes through step(), with the
// budget and the instruction that reports name brought up to date first.
int execute(Instruction* ip) {
    int64_t budget = exec.budget;
    while (ip) {
        if (__builtin_expect(--budget < 0, 0)) {
            exec.budget = budget;
            exec.report_instruction = ip;
            budget_spent();
            return 0;
        }
        switch (ip->dispatch) {
        case DISPATCH_RULE_ADD: {
            int32_t* d = ip->fast_dest;
            *d = wrap_add(*ip->fast_a, *ip->fast_b);
            if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(d);
            ip = ip->next;
            continue;
        }
        case DISPATCH_RULE_SUM_PRODUCT: {
            int32_t* d = ip->fast_dest;
            *d = wrap_add(*ip->fast_a, fixed_mul(*ip->fast_b, *ip->fast_c));
            if (ip->link_flags & LINK_CLAMP) clamp_skill_cell(d);
            ip = ip->next;
            continue;
        }
        case DISPATCH_IF_LT: ip = *ip->fast_a < *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_IF_GT: ip = *ip->fast_a > *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_IF_LE: ip = *ip->fast_a <= *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_IF_GE: ip = *ip->fast_a >= *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_IF_EQ: ip = *ip->fast_a == *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_IF_NE: ip = *ip->fast_a != *ip->fast_b ? ip->next : ip->target.jump; continue;
        case DISPATCH_JUMP: ip = ip->target.jump; continue;
        default: break;
        }
        exec.budget = budget;
        exec.report_instruction = ip;
        int ended = 0;
        ip = step(ip, &ended);
        budget = exec.budget;
        if (ended) return ended == 2 ? 1 : 0;
    }
    exec.budget = budget;
    return 0;
}
}  // namespace

int run_action(Action* action) {
    if (exec.run_depth >= MAX_RUN_DEPTH) {
        if (!exec.runaway_reported) {
            exec.runaway_reported = true;
            console_message("\n action nesting past %d -- runaway stopped ", MAX_RUN_DEPTH);
        }
        return 0;
    }
    if (!action) return 0;
    // After EXIT no new run starts; runs nested in the current one still finish.
    if (exec.halted && exec.run_depth == 0) return 0;
    Action* saved_current = exec.current_action;
    Action* saved_report = exec.report_action;
    Instruction* saved_instruction = exec.report_instruction;
    if (exec.run_depth == 0) {
        exec.budget = run_instruction_budget;
        exec.budget_reported = false;
    }
    exec.run_depth++;
    exec.current_action = exec.report_action = action;
    Instruction* start = action->resume;
    action->resume = action->first;
    int result = exec.budget > 0 ? execute(start) : 0;
    exec.run_depth--;
    exec.current_action = saved_current;
    exec.report_action = saved_report;
    exec.report_instruction = saved_instruction;
    return result;
}

static int run_for(void* object, Region* region, Action* action, bool per_tick) {
    if (!action) return 0;
    void* saved_my = world_refs.my;
    void* saved_there = world_refs.there;
    bool saved_tick = exec.per_tick_run;
    if (object) {
        world_refs.my = object;
        world_refs.there = static_cast<MapObject*>(object)->region;
    } else if (region) {
        world_refs.there = region;
    }
    exec.per_tick_run = per_tick;
    int result = run_action(action);
    world_refs.my = saved_my;
    world_refs.there = saved_there;
    exec.per_tick_run = saved_tick;
    return result;
}

int run_action_as(void* object, Region* region, Action* action) { return run_for(object, region, action, false); }
int run_action_per_tick(void* object, Region* region, Action* action) { return run_for(object, region, action, true); }

bool exec_running_action(ActionReportInfo* info) {
    if (exec.run_depth <= 0 || !exec.report_action) return false;
    info->action = exec.report_action;
    info->name = exec.report_action->name;
    info->instruction = instruction_number(exec.report_action, exec.report_instruction);
    info->opcode = exec.report_instruction ? exec.report_instruction->opcode : 0;
    return true;
}
