// The resource archive (.WRS) and the reads by name through which every subsystem gets the
// contents of a game file: whole (load_resource), in chunks (stream_resource) or the bare
// question whether it exists (resource_exists). Each read asks the patch layer first, then
// the open archive, then the disk (file lookup).
//
// A .WRS file is a run of records with no header or directory of its own: a 13-byte name
// (at most 12 characters, zero-ended), the packed and the unpacked size (4 bytes each, most
// significant first), then the packed data (LZSS). At most one archive is open at a time;
// its directory is read once when it opens. Buffers handed out belong to the caller
// (release with free()).
#pragma once

#include <cstdint>
#include <cstdio>

#include "resources/lzss.h"

constexpr int archive_max_entries = 2048;
constexpr int archive_record_header = 21;  // name field 13, packed size 4, unpacked size 4
constexpr int archive_name_field = 13;

struct ArchiveEntry {
    char name[13];          // at most 12 characters
    int64_t data_offset;    // file position of the first packed byte
    uint32_t packed_size;   // as the record says
    uint32_t unpacked_size; // as the record says
    uint32_t packed_available;  // packed bytes that the file really holds (the end may cut them)
};

struct Archive {
    FILE* file;
    int count;
    char name[64];          // the path it was opened under; empty when that did not fit
    int damaged_records;    // records cut short or running past the end of the file
    bool more_records;      // records after the 2048th, which are ignored
    ArchiveEntry entries[archive_max_entries];
};
extern Archive archive;

// The open stream: one at a time. An archive stream has its own decoder and file position,
// so whole-file reads between two of its calls do not disturb it.
enum StreamSource { stream_none, stream_archive, stream_disk, stream_patched };
struct ResourceStream {
    StreamSource source;
    uint32_t remaining;     // archive: bytes still to deliver
    int64_t file_position;  // archive: where its next packed byte is
    LzssDecoder decoder;    // archive
    FILE* file;             // disk
    uint8_t* contents;      // patched: the substitute, owned by the stream
    int32_t contents_size;
    int32_t contents_position;
};
extern ResourceStream resource_stream;

// Called before every read by name, so that the loading screen can refresh itself (it draws
// at most every 50 ms). Set by the presenter; null while there is none.
extern void (*resource_refresh_loading)();

// Opens `path` through open_game_file and reads its directory. Answers the number of
// entries, 0 when the path is empty or names the archive already open (exact case), -1 when
// it cannot be opened (no archive is open then).
int open_archive(const char* path);
// Closes the archive and any stream; the directory is empty and no name is remembered.
void close_archive();

// The whole file in a zero-filled buffer of size + 2 bytes; null with *size = 0 when not
// found. From the archive, *size is what the packed data really decoded to.
uint8_t* load_resource(const char* name, int32_t* size);
// As load_resource, without asking the patch layer.
uint8_t* load_original_resource(const char* name, int32_t* size);
// With a name, starts a new stream; with none (or ""), goes on with the open one. `count`
// holds the capacity on entry and the bytes delivered on return. Answers `dest` holding the
// next chunk, or null when the stream has ended (it is closed then) or could not start.
uint8_t* stream_resource(const char* name, uint8_t* dest, int32_t* count);
// 0 when the file exists (patched, on disk under this very name, or an archive entry equal
// to the whole name), -2 when it does not, -1 when no name is given.
int resource_exists(const char* name);

// Archive entry access for the tools: the index of the first entry whose name equals the
// base name of `name` without case (-1 when none), and the decoded contents of an entry.
int find_archive_entry(const char* name);
uint8_t* load_archive_entry(int index, int32_t* size);
