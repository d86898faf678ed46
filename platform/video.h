// The presenter: starts SDL video, owns the 8-bit frame buffers and the palette, makes and
// adapts the one window, and shows the frame through an SDL renderer with one streaming
// texture. Every window failure ends in "rendering to memory only": the engine runs on.
#pragma once

#include <cstdint>

bool start_video();
int set_screen_mode(int mode, int width, int height);  // 0, or -1 when the frame cannot be allocated
// Maps a classic mode number to its size; false when the number is not a mode.
bool screen_mode_size(int mode, int* width, int* height);

uint8_t* frame_buffer();      // null before the first mode
uint8_t* drawing_target();    // the frame, or the eye buffer while the second eye is drawn
uint8_t* overlay_mask();
int frame_pitch();
int frame_width();
int frame_height();

void set_palette(const uint8_t* rgb768);  // 6-bit components; null is ignored
const uint32_t* palette32();
int brightest_index();
int darkest_index();

void present_frame();
void set_eye_buffer(bool on);
bool window_exists();
bool video_started();
int presented_frames();       // frames presented since video started

bool fps_shown();
void set_fps_shown(bool on);

void loading_begin();
void loading_update(const char* label);  // null keeps the last label
void loading_end();
const char* loading_label();

bool show_fatal_box(const char* title, const char* text);  // false when no box can be shown
void close_video();
void free_frame_buffers();

// The PC key code of an SDL scancode (0 for keys the engine does not know).
int key_code_of_scancode(int sdl_scancode);
