// The file request that LOAD, SAVE, LEVEL, MAP, SCAN, the info files and the demo
// keywords post: the file names and number, beside the request word of the frame loop
// (frame_timing.pending_request), and the text EXIT leaves for the end of the game.
#pragma once

#include <cstdint>

struct FileRequest {
    char name[128];          // the text of operand 1 (the file or save name)
    char second[128];        // LEVEL: the WRS file name, empty for none
    int32_t number;          // the request number (fixed point) of SAVE, LOAD, ...
    int32_t mode;            // the mode of the last request (FileRequestMode)
    char exit_text[256];     // EXIT: a copy of the message for the end of the game, "" for none
};
extern FileRequest file_request;
