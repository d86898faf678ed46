// The event pump. Quit and window-close events clear the running flag; the input code
// takes keyboard, mouse and joystick events once it exists.
#include "platform/events.h"

#include <SDL3/SDL.h>

#include "engine/engine.h"

int pump_events() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    SDL_Event event;
    int handled = 0;
    while (SDL_PollEvent(&event)) {
        handled = 1;
        if (event.type == SDL_EVENT_QUIT || event.type == SDL_EVENT_WINDOW_CLOSE_REQUESTED)
            engine_state &= uint8_t(~ENGINE_RUNNING);
    }
    return handled;
}
