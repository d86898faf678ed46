// The DOS-style command line: one table of every engine setting, with its option, its form
// (exact, prefix with value, prefix with attached value) and its range. The launcher and the
// configuration file express every setting as one of these options.
#pragma once

// Fills the settings from argv[1..]; answers the index of the first argument not consumed
// (argc after a complete parse).
int parse_command_line(int argc, char** argv);

// True when `text` names a key: an optional ":" or "=" (then a name must follow), then "NONE"
// (stores 0) or a key name (stores its key code).
bool parse_key_option(const char* text, int* out);

// The usage text for "?", "-?", "/?" and a start without arguments.
void print_usage();

// True for "?", "-?" and "/?".
bool is_usage_request(const char* arg);

// A define from "-D name[,value]" is handed to the script reader through this operation.
// The reader sets it; until then defines from the command line are kept nowhere.
extern void (*command_line_define)(const char* name, const char* value);
