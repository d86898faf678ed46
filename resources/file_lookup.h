// File lookup: turns a DOS-style file name from a game script (any case, backslashes, 8.3
// short names such as LONGNA~1.PCX, search directories with drive letters) into a file
// opened for reading in the Linux game folder. It is the only way the engine opens a game
// file on disk. Relative names resolve against the current working directory (the game
// folder). No lookup ever writes to disk, and nothing here reports a missing file: the
// caller decides what a missing file means.
#pragma once

#include <cstdint>
#include <cstdio>

// Buffer limits, in bytes including the terminating zero.
constexpr int lookup_dir_part_max = 512;   // directory part of a name
constexpr int lookup_joined_max = 512;     // a search directory joined with a name
constexpr int lookup_entry_name_max = 256; // the matched directory entry name
constexpr int lookup_path_max = 768;       // the final path opened

// The search directories of PATH, BMAP_PATH, SOUND_PATH and MUSIC_PATH, in the order added.
constexpr int search_dir_capacity = 15;
struct SearchDirList {
    char* entries[search_dir_capacity + 1];  // owned copies; the first null slot ends the list
};
extern SearchDirList search_dirs;

// Opens `name` for reading, matching the last component of the name loosely (case, 8.3 short
// names). A second match makes the name ambiguous: not found. On success `actual` (when
// given) receives the path opened, cut to `actual_size`. Only regular files are opened.
FILE* open_game_file(const char* name, char* actual = nullptr, int actual_size = 0);

// Looks for `name` itself, then below every search directory. True: `out` receives the path
// that opened (the file is not left open). False: `out` receives the name unchanged. A path
// that does not fit `out` counts as not found, so that a cut path never names another file.
bool find_game_file(const char* name, char* out, int out_size);

// The whole file `path` (as open_game_file takes it, no search) in a buffer of size + 2
// bytes whose last two are zero, owned by the caller (release with free()). Null with
// *size = 0 for a missing or empty file.
uint8_t* read_whole_file(const char* path, int32_t* size);

// Adds a search directory; true when added or already present (compared without case).
// False when the list is full (a script error is recorded) or memory ran out.
bool add_search_dir(const char* dir);
void clear_search_dirs();

// Name rules shared with the archive tools.
bool names_equal_nocase(const char* a, const char* b);  // ASCII letters only fold
bool is_valid_83_name(const char* name);                // DOS 8.3 rule, case ignored
