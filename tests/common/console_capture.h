// Catches what the engine prints to the console during a test.
#pragma once

#include <string>

#include "engine/console.h"

struct CapturedConsole {
    char buffer[1 << 16];
    ConsoleCapture capture;
    CapturedConsole() : buffer{}, capture{buffer, int(sizeof buffer), 0, false} { console_set_capture(&capture); }
    ~CapturedConsole() { console_set_capture(nullptr); }
    std::string text() const { return std::string(buffer, size_t(capture.length)); }
    void clear() {
        capture.length = 0;
        buffer[0] = 0;
    }
};
