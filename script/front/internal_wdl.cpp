// The built-in internal WDL: the engine's default keys (save, load, screenshot, exit, sound
// and map controls) and a straight-movement helper. It is read before the game's script, so
// a game that binds the same keys replaces these. Every name begins with "_" so that a game
// does not meet it by accident.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

static const char internal_wdl[] = R"WDL(
# Engine default keys. A game's own IF_ keys replace these.

SKILL _force { VAL 0; }
SKILL _shot_no { VAL 0; }
SKILL _svol_old { VAL 0.5; }
SKILL _mvol_old { VAL 0.5; }

SYNONYM _moving { TYPE ACTION; DEFAULT NULL; }

ACTION _save_test { SAVE "test_", 0; }
ACTION _load_test { LOAD "test_", 0; }

ACTION _blur_step {
    ADD MOTION_BLUR, 0.7;
    IF_ABOVE MOTION_BLUR, 1;
    SET MOTION_BLUR, 0;
}

ACTION _screenshot {
    SCREENSHOT "shot_", _shot_no;
    ADD _shot_no, 1;
}

ACTION _quit { EXIT; }

# Sound on -> music off -> sound off -> both back.
ACTION _sound_cycle {
    IF (SOUND_VOL == 0) {
        SET SOUND_VOL, _svol_old;
        SET MUSIC_VOL, _mvol_old;
    } ELSE {
        IF (MUSIC_VOL == 0) {
            SET _svol_old, SOUND_VOL;
            SET SOUND_VOL, 0;
        } ELSE {
            SET _mvol_old, MUSIC_VOL;
            SET MUSIC_VOL, 0;
        }
    }
}

ACTION _map_toggle {
    ADD MAP_MODE, 1;
    IF_ABOVE MAP_MODE, 1;
    SET MAP_MODE, 0;
}

ACTION _map_zoom_in {
    WHILE (MAP_MODE != 0) {
        RULE MAP_SCALE = MAP_SCALE * 1.1;
        WAITT 2;
        IF ((KEY_PLUS != 1) && (KEY_SZ != 1)) { BREAK; }
    }
}

ACTION _map_zoom_out {
    WHILE (MAP_MODE != 0) {
        RULE MAP_SCALE = MAP_SCALE * 0.9;
        WAITT 2;
        IF ((KEY_MINUS != 1) && (KEY_APO != 1)) { BREAK; }
    }
}

# Straight movement without the engine's own player steering; a game may bind a key to
# _tog_mov to switch it on and off (it takes the last EACH_TICK slot while on).
ACTION _move_straight {
    SET INERTIA, 4;
    SET FRICTION, 0.9;
    RULE _force = FORCE_AHEAD * PLAYER_COS - FORCE_STRAFE * PLAYER_SIN;
    ACCEL PLAYER_VX, _force;
    RULE _force = FORCE_AHEAD * PLAYER_SIN + FORCE_STRAFE * PLAYER_COS;
    ACCEL PLAYER_VY, _force;
    RULE _force = 0.1 * FORCE_UP;
    ACCEL PLAYER_VZ, _force;
    RULE _force = 0.1 * FORCE_ROT;
    ACCEL PLAYER_VROT, _force;
    RULE PLAYER_TILT = PLAYER_TILT + 0.05 * FORCE_TILT;
}

ACTION _tog_mov {
    IF_NEQUAL _moving, NULL, _tog_restore;
    SET _moving, EACH_TICK.16;
    SET EACH_TICK.16, _move_straight;
    END;
_tog_restore:
    SET EACH_TICK.16, _moving;
    SET _moving, NULL;
}

IF_F2 _save_test;
IF_F3 _load_test;
IF_F5 _blur_step;
IF_F6 _screenshot;
IF_F10 _quit;
IF_F12 _sound_cycle;
IF_TAB _map_toggle;
IF_SZ _map_zoom_in;
IF_PLUS _map_zoom_in;
IF_APO _map_zoom_out;
IF_MINUS _map_zoom_out;
)WDL";

static const char internal_wdl_name[] = "internal WDL";

const char* internal_wdl_text() { return internal_wdl; }

int read_internal_wdl() {
    if (!settings.internal_wdl) return 0;
    int length = int(sizeof internal_wdl - 1);
    // The reader writes into its text: read a fresh copy.
    char* text = static_cast<char*>(std::malloc(size_t(length) + 2));
    if (!text) return -1;
    std::memcpy(text, internal_wdl, size_t(length) + 1);

    char saved_wdl[sizeof settings.wdl_name];
    std::memcpy(saved_wdl, settings.wdl_name, sizeof saved_wdl);
    std::snprintf(settings.wdl_name, sizeof settings.wdl_name, "%s", internal_wdl_name);
    char saved_file[sizeof reader.file_name];
    std::memcpy(saved_file, reader.file_name, sizeof saved_file);
    const char* saved_context = error_context.script_file;
    std::snprintf(reader.file_name, sizeof reader.file_name, "%s", internal_wdl_name);
    error_context.script_file = reader.file_name;

    int result = read_text(text, length);

    std::memcpy(reader.file_name, saved_file, sizeof saved_file);
    error_context.script_file = saved_context;
    std::memcpy(settings.wdl_name, saved_wdl, sizeof saved_wdl);
    std::free(text);
    return result;
}
