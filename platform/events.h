// The event pump: drains SDL's queue once per pass of the main loop.
#pragma once

// Nonzero when at least one event was handled; a quit or window-close event ends the loop.
int pump_events();
