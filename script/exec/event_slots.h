// The world's event actions: the key-handler slots (IF_START, IF_LOAD, one per key code,
// the mouse buttons, any key, IF_MSTOP) and the 16 EACH_SEC and 16 EACH_TICK slots. The
// definitions fill them; the scheduler runs them. They belong to the world and are
// emptied with it.
#pragma once

#include <cstdint>

#include "script/front/records.h"

constexpr int EVENT_KEY_SLOTS = 128;   // key codes 0..127
constexpr int EVENT_LIST_SLOTS = 16;   // EACH_SEC, EACH_TICK

struct EventSlots {
    Action* key[EVENT_KEY_SLOTS];  // IF_A, IF_F2, ... by key code
    Action* if_start;
    Action* if_load;
    Action* if_left;
    Action* if_middle;
    Action* if_right;
    Action* if_anykey;             // also IF_TAST
    Action* if_joy4;
    Action* if_klick;
    Action* if_mstop;
    Action* each_sec[EVENT_LIST_SLOTS];
    Action* each_tick[EVENT_LIST_SLOTS];
    bool start_pending;            // IF_START has not run yet
};
extern EventSlots event_slots;

// The slot of a key-handler name ("IF_START", "IF_F2", "IF_TAST", ...; case ignored), or
// null when the name is none. Key names come from the input code's key table.
Action** event_slot_of_name(const char* name);
