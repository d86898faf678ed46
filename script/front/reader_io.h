// What the script reader needs from the rest of the engine: whole script files read by name
// through the resource layer, and a refresh of the loading screen between statements.
#pragma once

// The whole file in a buffer with two spare zero bytes after its end (the reader writes a
// terminator there), or null when it cannot be read. Freed with free_script_file.
char* load_script_file(const char* name, int* size);
void free_script_file(char* text);

// Lets the loading screen redraw itself (it draws at most every 50 ms, so this is cheap).
void refresh_loading_screen();
