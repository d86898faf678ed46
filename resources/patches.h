// The patch layer: substitutes corrected versions of known faulty game files (replacement
// files in a "diradarodav" folder, shipped difference patches). Every read of a game file by
// name asks it first. For now it knows no patch: every lookup answers "no patch", so that
// reads fall through to the archive and the disk.
#pragma once

#include <cstdint>

// True when `name` is replaced or patched; `label` (when given) receives the path used.
bool is_patched(const char* name, char* label, int label_size);
// The substituted contents in a buffer of length + 2 zero-filled bytes, owned by the caller
// (release with free()); null with *size = 0 when there is no substitute.
uint8_t* load_patched(const char* name, int32_t* size);
// Prints "diradarodav: NAME -> LABEL" once per name.
void log_patched(const char* name, const char* label);
// Forgets every cached outcome (level load).
void clear_patch_cache();
