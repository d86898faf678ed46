// Console output of the engine: every start-up text, warning and report goes to standard
// error through this one formatting operation. No prefix is added; the engine's own
// diagnostic lines carry "dravo: " themselves.
#pragma once

// Formats into a 1024-byte buffer (longer output is cut) and writes it to standard error.
void console_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a text of any length unformatted (listings longer than the 1024-byte buffer).
void console_text(const char* text);

// Tests catch what the console prints: while a capture is set, output is appended to it
// (and still written to standard error only when `echo` is true).
struct ConsoleCapture {
    char* buffer;
    int capacity;
    int length;
    bool echo;
};
void console_set_capture(ConsoleCapture* capture);
