// dravo-wrs: lists, extracts, packs and verifies resource archives (.WRS) for players and
// game authors. Every command reads archives through the engine's own reader, so what the
// tool shows is what the engine will see.
#pragma once

// Each answers the process exit status: 0 done, 1 a failure (reported on standard error).
int wrs_list(const char* archive_path);
int wrs_extract(const char* archive_path, const char* out_dir, const char* const* names, int name_count);
int wrs_pack(const char* archive_path, const char* const* files, int file_count);
int wrs_verify(const char* archive_path);

// Why `name` cannot be an archive entry name, or null when it can (DOS 8.3, at most 12
// characters, printable characters that DOS allows in a file name).
const char* wrs_name_problem(const char* name);
