// The file-name rule of saved games, also used for screenshots and the print file: the
// first five characters of the name, the number and the extension, in the save folder
// ("-DIR" or SAVEDIR) when one is set, else in the working folder.
#pragma once

#include <cstddef>
#include <cstdint>

// Forms the path for `name` (a script's text; only its first five characters count, and
// "/", "\", ":" and a leading "." among them become "_"), the request number (22.10: its
// integer part, 0..999) and the extension. With `create` the save folder is made when
// missing; without it the file must exist and be longer than 0 bytes.
// 0 and the path in `out`; -1 when the folder cannot be made (or the path does not fit);
// -2 when the file must exist and does not.
int make_save_path(const char* name, int32_t number, bool create, const char* extension, char* out, size_t size);

// The same rule under the name the saved games use.
inline int build_save_path(const char* name, int32_t number, bool create, const char* extension, char* out,
                           size_t size) {
    return make_save_path(name, number, create, extension, out, size);
}
