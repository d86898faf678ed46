// SDL video, the frame buffers, the window with its fallbacks, and the software presentation.
#include "platform/video.h"

#include <SDL3/SDL.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/settings.h"
#include "platform/key_names.h"

namespace {

struct Buffer {
    uint8_t* data;
    size_t capacity;
};

struct Presenter {
    bool started;
    uint8_t scancode_table[512];
    Buffer frame, mask, eye;
    bool eye_on;
    int width, height, pitch;
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    int fullscreen_state;
    bool window_fullscreen;
    bool window_uses_gl;
    uint8_t palette[768];
    uint32_t palette32[256];
    int brightest, darkest;
    int fps_frames;
    uint64_t fps_time;
    int fps;
    int show;
    uint64_t deadline;
    int presented;
    bool loading;
    char label[64];
};

Presenter v = {};

void init_presenter_defaults() {
    v.brightest = 255;
    v.darkest = 0;
    v.fps = -1;
    v.show = -1;
}

void log_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
void log_line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    SDL_LogMessageV(SDL_LOG_CATEGORY_APPLICATION, SDL_LOG_PRIORITY_INFO, format, args);
    va_end(args);
}

// Without a display the window chain ends in rendering to memory only, so video must start
// even where no desktop is: after the default drivers, the offscreen and dummy ones are tried.
bool init_sdl_video() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_Init(SDL_INIT_VIDEO)) return true;
    char first_error[256];
    SDL_strlcpy(first_error, SDL_GetError(), sizeof first_error);
    const char* forced = SDL_getenv("SDL_VIDEO_DRIVER");
    if (!forced || !*forced) {
        for (const char* driver : {"offscreen", "dummy"}) {
            SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, driver, SDL_HINT_OVERRIDE);
            if (SDL_Init(SDL_INIT_VIDEO)) {
                log_line("dravo: no display (%s); the %s video driver is used", first_error, driver);
                return true;
            }
        }
    }
    log_line("dravo: SDL video failed: %s", first_error);
    return false;
}

void build_scancode_table() {
    std::memset(v.scancode_table, 0, sizeof v.scancode_table);
    for (int i = 0; i < scancode_pair_count; i++)
        v.scancode_table[scancode_pairs[i].sdl_scancode] = uint8_t(scancode_pairs[i].code);
}

bool grow(Buffer& b, size_t n) {
    uint8_t* p = static_cast<uint8_t*>(std::calloc(n, 1));
    if (!p) return false;
    std::free(b.data);
    b.data = p;
    b.capacity = n;
    return true;
}

void destroy_renderer() {
    if (v.texture) SDL_DestroyTexture(v.texture);
    if (v.renderer) SDL_DestroyRenderer(v.renderer);
    v.texture = nullptr;
    v.renderer = nullptr;
}

void destroy_window() {
    destroy_renderer();
    if (v.window) SDL_DestroyWindow(v.window);
    v.window = nullptr;
    v.fullscreen_state = 0;
    v.window_fullscreen = false;
    v.window_uses_gl = false;
}

// Picks exclusive or desktop fullscreen for the window; answers whether it is exclusive.
bool choose_fullscreen_mode() {
    if (!v.window) return false;
    if (settings.fullscreen_exclusive) {
        SDL_DisplayID display = SDL_GetDisplayForWindow(v.window);
        SDL_DisplayMode mode;
        if (display &&
            SDL_GetClosestFullscreenDisplayMode(display, settings.res_w, settings.res_h, 0.0f, true, &mode) &&
            SDL_SetWindowFullscreenMode(v.window, &mode)) {
            log_line("dravo: fullscreen will be exclusive, %dx%d@%.0fHz", mode.w, mode.h, double(mode.refresh_rate));
            return true;
        }
        log_line("dravo: no exclusive mode near %dx%d (%s); borderless", settings.res_w, settings.res_h,
                 SDL_GetError());
    }
    SDL_SetWindowFullscreenMode(v.window, nullptr);
    return false;
}

bool cover_display() {
    SDL_DisplayID display = SDL_GetDisplayForWindow(v.window);
    SDL_Rect bounds;
    if (!display || !SDL_GetDisplayBounds(display, &bounds)) return false;
    SDL_SetWindowBordered(v.window, false);
    SDL_SetWindowPosition(v.window, bounds.x, bounds.y);
    SDL_SetWindowSize(v.window, bounds.w, bounds.h + 1);
    v.fullscreen_state = 2;
    return true;
}

bool make_window(int w, int h) {
    int pw = w <= 400 ? 2 * w : w;
    int ph = h <= 300 ? 2 * h : h;
    int ww = settings.res_w > 0 ? settings.res_w : pw;
    int wh = settings.res_h > 0 ? settings.res_h : ph;
    bool fs = settings.display_flags & 1;
    bool gl = settings.opengl;
    if (!init_sdl_video()) return false;
    if (!v.started) build_scancode_table();
    v.started = true;
    destroy_renderer();
    if (v.window && v.window_uses_gl == gl && v.window_fullscreen == fs) {
        log_line("dravo: window kept, mode now %dx%d", pw, ph);
    } else {
        if (v.window) destroy_window();
        SDL_WindowFlags flags = SDL_WINDOW_RESIZABLE;
        if (fs && !settings.fullscreen_window) flags |= SDL_WINDOW_FULLSCREEN;
        if (gl) flags |= SDL_WINDOW_OPENGL;
        v.window = SDL_CreateWindow("MIRDAL VESSA", ww, wh, flags);
        if (!v.window && gl) {
            log_line("dravo: no OpenGL window (%s); software presentation", SDL_GetError());
            flags &= ~SDL_WINDOW_OPENGL;
            gl = false;
            v.window = SDL_CreateWindow("MIRDAL VESSA", ww, wh, flags);
        }
        const char* text;
        if (!v.window) {
            if (!fs) return false;
            log_line("dravo: no fullscreen window (%s); windowed", SDL_GetError());
            v.window = SDL_CreateWindow("MIRDAL VESSA", ww, wh, SDL_WINDOW_RESIZABLE);
            if (!v.window) return false;
            choose_fullscreen_mode();
            gl = false;
            v.fullscreen_state = 0;
            v.window_fullscreen = false;
            text = "windowed";
        } else {
            bool exclusive = choose_fullscreen_mode();
            if (!fs) {
                v.fullscreen_state = 0;
                v.window_fullscreen = false;
                text = "windowed";
            } else if (!settings.fullscreen_window) {
                v.fullscreen_state = 1;
                v.window_fullscreen = true;
                text = exclusive ? "fullscreen (exclusive)" : "fullscreen (borderless)";
            } else if (cover_display()) {
                v.window_fullscreen = true;
                text = "fullscreen (as a window)";
            } else {
                log_line("dravo: cannot cover the display (%s); windowed", SDL_GetError());
                v.window_fullscreen = false;
                text = "windowed";
            }
        }
        v.window_uses_gl = gl;
        log_line("dravo: window created %dx%d for a %dx%d plane, %s", ww, wh, pw, ph, text);
    }
    if (v.window_uses_gl) log_line("dravo: falling back to the software presentation");
    v.renderer = SDL_CreateRenderer(v.window, nullptr);
    if (!v.renderer) return false;
    SDL_SetRenderVSync(v.renderer, settings.vsync ? 1 : 0);
    SDL_SetRenderLogicalPresentation(v.renderer, pw, ph, SDL_LOGICAL_PRESENTATION_LETTERBOX);
    v.texture = SDL_CreateTexture(v.renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!v.texture) {
        destroy_renderer();
        return false;
    }
    SDL_SetTextureScaleMode(v.texture, SDL_SCALEMODE_NEAREST);
    SDL_SetWindowRelativeMouseMode(v.window, true);
    return true;
}

// The counter's 3x5 font: rows top to bottom, bit 2 the left column.
struct Glyph {
    char c;
    uint8_t rows[5];
};
const Glyph fps_font[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'F', {7, 4, 7, 4, 4}}, {'P', {7, 5, 7, 4, 4}},
    {'S', {7, 4, 7, 1, 7}}, {'T', {7, 2, 2, 2, 2}}, {'A', {2, 5, 7, 5, 5}}, {'G', {7, 4, 5, 5, 7}},
    {'W', {5, 5, 5, 5, 7}}, {'E', {7, 4, 7, 4, 7}}, {'R', {7, 5, 6, 5, 5}},
};

void put_pixel(int x, int y, uint8_t colour) {
    if (x >= 0 && y >= 0 && x < v.width && y < v.height) v.frame.data[size_t(y) * size_t(v.pitch) + size_t(x)] = colour;
}

void draw_fps_counter() {
    char text[16];
    SDL_snprintf(text, sizeof text, "%d FPS", v.fps > 9999 ? 9999 : v.fps);
    int len = int(std::strlen(text));
    int s = v.width > 400 ? 2 : 1;
    int ox = s, oy = s;  // the view record does not exist yet: the counter sits at the corner
    for (int y = oy; y < oy + 7 * s; y++)
        for (int x = ox; x < ox + s * (4 * len + 1); x++) put_pixel(x, y, uint8_t(v.darkest));
    for (int i = 0; i < len; i++) {
        if (text[i] == ' ') continue;
        static const uint8_t block[5] = {7, 7, 7, 7, 7};
        const uint8_t* rows = block;
        for (const Glyph& g : fps_font)
            if (g.c == text[i]) rows = g.rows;
        int cx = ox + s + 4 * s * i, cy = oy + s;
        for (int r = 0; r < 5; r++)
            for (int c = 0; c < 3; c++)
                if (rows[r] & (4 >> c))
                    for (int by = 0; by < s; by++)
                        for (int bx = 0; bx < s; bx++) put_pixel(cx + c * s + bx, cy + r * s + by, uint8_t(v.brightest));
    }
}

void pace_frame() {
    if (settings.vsync || settings.max_fps < 1) {
        v.deadline = 0;
        return;
    }
    uint64_t f = SDL_GetPerformanceFrequency();
    if (!f) return;
    uint64_t period = f / uint64_t(settings.max_fps);
    uint64_t now = SDL_GetPerformanceCounter();
    if (now < v.deadline) {
        SDL_DelayPrecise((v.deadline - now) * 1000000000u / f);
        v.deadline += period;
    } else {
        v.deadline = now + period;
    }
}

}  // namespace

bool start_video() {
    if (v.started) return true;
    init_presenter_defaults();
    if (!init_sdl_video()) return false;
    build_scancode_table();
    v.started = true;
    log_line("dravo: no debug panel in this build (built with -DDRAVO_IMGUI=OFF)");
    return true;
}

bool screen_mode_size(int mode, int* width, int* height) {
    static const struct {
        int mode, w, h;
    } modes[] = {{1, 320, 240}, {36, 320, 240}, {2, 320, 200}, {13, 320, 200}, {35, 320, 200}, {5, 320, 400},
                 {39, 320, 400}, {25, 640, 480}, {37, 640, 480}, {38, 800, 600}, {259, 800, 600}};
    for (const auto& m : modes)
        if (m.mode == mode) {
            *width = m.w;
            *height = m.h;
            return true;
        }
    *width = *height = 0;
    return false;
}

int set_screen_mode(int, int width, int height) {
    if (width <= 0 || height <= 0) return -1;
    size_t n = size_t(2) * size_t(width) * size_t(height);
    if (v.frame.data && v.frame.capacity >= n) {
        std::memset(v.frame.data, 0, v.frame.capacity);
    } else {
        std::free(v.frame.data);
        v.frame = {};
        if (!grow(v.frame, n)) return -1;
        std::free(v.mask.data);
        v.mask = {};
        grow(v.mask, n);
        if (v.eye.capacity < n) grow(v.eye, n);
    }
    v.width = width;
    v.height = height;
    v.pitch = width;
    if (!make_window(width, height)) {
        log_line("dravo: no window (%s); rendering to memory only", SDL_GetError());
        destroy_window();
    }
    return 0;
}

uint8_t* frame_buffer() { return v.frame.data; }
uint8_t* drawing_target() { return v.eye_on && v.eye.data ? v.eye.data : v.frame.data; }
uint8_t* overlay_mask() { return v.mask.data; }
int frame_pitch() { return v.pitch; }
int frame_width() { return v.width; }
int frame_height() { return v.height; }
bool window_exists() { return v.window != nullptr; }
bool video_started() { return v.started; }
int presented_frames() { return v.presented; }
int key_code_of_scancode(int sc) { return sc >= 0 && sc < 512 ? v.scancode_table[sc] : 0; }

void set_palette(const uint8_t* rgb) {
    if (!rgb) return;
    std::memcpy(v.palette, rgb, 768);
    int best = -1, worst = 1 << 30;
    for (int i = 0; i < 256; i++) {
        uint32_t r = rgb[3 * i] & 63, g = rgb[3 * i + 1] & 63, b = rgb[3 * i + 2] & 63;
        v.palette32[i] = 0xFF000000u | ((r << 2 | r >> 4) << 16) | ((g << 2 | g >> 4) << 8) | (b << 2 | b >> 4);
        if (i == 0) continue;
        int lum = int(30 * r + 59 * g + 11 * b);
        if (lum > best) best = lum, v.brightest = i;
        if (lum < worst) worst = lum, v.darkest = i;
    }
}

const uint32_t* palette32() { return v.palette32; }
int brightest_index() { return v.brightest; }
int darkest_index() { return v.darkest; }
bool fps_shown() { return v.show == 1; }
void set_fps_shown(bool on) { v.show = on ? 1 : 0; }

void present_frame() {
    loading_end();
    if (!v.frame.data) return;
    uint64_t now = SDL_GetTicks();
    if (v.show == -1) v.show = settings.show_fps ? 1 : 0;
    v.fps_frames++;
    if (!v.fps_time) {
        v.fps_time = now;
    } else if (now - v.fps_time > 499) {
        v.fps = int(uint64_t(v.fps_frames) * 1000u / (now - v.fps_time));
        v.fps_frames = 0;
        v.fps_time = now;
    }
    if (v.show == 1 && v.fps >= 0) draw_fps_counter();
    v.presented++;
    if (v.texture) {
        void* pixels;
        int pitch;
        if (!SDL_LockTexture(v.texture, nullptr, &pixels, &pitch)) return;
        for (int y = 0; y < v.height; y++) {
            const uint8_t* src = v.frame.data + size_t(y) * size_t(v.pitch);
            uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + size_t(y) * size_t(pitch));
            for (int x = 0; x < v.width; x++) dst[x] = v.palette32[src[x]];
        }
        SDL_UnlockTexture(v.texture);
        SDL_RenderClear(v.renderer);
        SDL_RenderTexture(v.renderer, v.texture, nullptr, nullptr);
        SDL_RenderPresent(v.renderer);
    }
    pace_frame();
}

void set_eye_buffer(bool on) {
    if (!v.eye.data || !v.frame.data || v.eye_on == on) return;
    v.eye_on = on;
}

// The loading state is kept for the labels; no loading window is shown yet.
void loading_begin() {
    if (v.loading) return;
    v.loading = true;
    v.label[0] = 0;
}

void loading_update(const char* label) {
    if (!v.loading || !label) return;
    SDL_strlcpy(v.label, label, sizeof v.label);
}

void loading_end() { v.loading = false; }
const char* loading_label() { return v.label; }

// No box can be shown without a display; the console text then stands alone.
bool show_fatal_box(const char* title, const char* text) {
    loading_end();
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
    if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0) return false;
    if (v.window) SDL_HideWindow(v.window);
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr);
}

void close_video() {
    destroy_window();
    if (v.started) {
        SDL_Quit();
        v.started = false;
    }
}

void free_frame_buffers() {
    std::free(v.frame.data);
    std::free(v.mask.data);
    std::free(v.eye.data);
    v.frame = v.mask = v.eye = {};
}
