// The loading mode: a word of flags that only the level loads of the world model write
// (0 at world opening) and that the catalogue and the definitions parser read.
#pragma once

#include <cstdint>

enum LoadModeBit : uint32_t {
    LOAD_SCAN_BIT = 0x1,        // part of the definitions scan of a level load (0x401)
    LOAD_KEEP_LOCAL = 0x2,      // LOCAL skills that exist keep their values
    LOAD_SCAN = 0x401,          // the definitions scan of a level load
    LOAD_REDEFINE = 0x1000,     // world reload: existing objects may be defined again and
                                // loaded resources are kept
};

extern uint32_t load_mode;
