// Loaded into the headless compositor of the end-to-end tests (weston --modules=<this file>). It gives the
// compositor a seat with a keyboard, which the headless back-end lacks and SDL's Wayland driver needs (a
// pointer would draw its cursor over what the tests read), and answers two signals: SIGUSR1 writes what the
// output shows into the file that ZOPP_CAPTURE names (width and height as two 32-bit numbers, then 0xAARRGGBB
// pixels row by row; written aside and renamed, so a reader never sees half of it), SIGUSR2 asks every window
// to close as a close button does.
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

// Exported by libweston for its back-ends, not declared in its public headers.
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* compositor, const char* name);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);

static struct weston_seat seat;

static int capture(int signal, void* data) {
    struct weston_compositor* compositor = data;
    struct weston_output* output = wl_container_of(compositor->output_list.next, output, link);
    const uint32_t size[2] = {(uint32_t)output->current_mode->width, (uint32_t)output->current_mode->height};
    uint32_t* pixels = malloc((size_t)size[0] * size[1] * 4);
    const char* path = getenv("ZOPP_CAPTURE");
    char aside[4096];
    snprintf(aside, sizeof aside, "%s.part", path);
    FILE* file = fopen(aside, "wb");
    if (pixels && file &&
        compositor->renderer->read_pixels(output, PIXMAN_a8r8g8b8, pixels, 0, 0, size[0], size[1]) == 0) {
        fwrite(size, sizeof size, 1, file);
        fwrite(pixels, 4, (size_t)size[0] * size[1], file);
    }
    if (file && fclose(file) == 0) rename(aside, path);
    free(pixels);
    return 0;
}

static int closeWindows(int signal, void* data) {
    struct weston_compositor* compositor = data;
    struct weston_view* view;
    wl_list_for_each(view, &compositor->view_list, link) {
        struct weston_desktop_surface* window = weston_surface_get_desktop_surface(view->surface);
        if (window) weston_desktop_surface_close(window);
    }
    return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]) {
    weston_seat_init(&seat, compositor, "default");
    weston_seat_init_keyboard(&seat, NULL);
    struct wl_event_loop* loop = wl_display_get_event_loop(compositor->wl_display);
    wl_event_loop_add_signal(loop, SIGUSR1, capture, compositor);
    wl_event_loop_add_signal(loop, SIGUSR2, closeWindows, compositor);
    return 0;
}
