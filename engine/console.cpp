// The console message: one formatted write to standard error per call.
#include "engine/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

static ConsoleCapture* console_capture = nullptr;

void console_set_capture(ConsoleCapture* capture) { console_capture = capture; }

static void console_write(const char* text, size_t len) {
    if (console_capture) {
        ConsoleCapture& c = *console_capture;
        size_t room = c.capacity > c.length + 1 ? size_t(c.capacity - c.length - 1) : 0;
        size_t take = len < room ? len : room;
        std::memcpy(c.buffer + c.length, text, take);
        c.length += int(take);
        if (c.capacity > 0) c.buffer[c.length] = 0;
        if (!c.echo) return;
    }
    std::fwrite(text, 1, len, stderr);
}

void console_text(const char* text) { console_write(text, std::strlen(text)); }

void console_message(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return;
    console_write(text, std::strlen(text));  // vsnprintf reports the uncut length; the buffer holds the cut text
}
