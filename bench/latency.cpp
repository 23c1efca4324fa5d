// tessal-latency: how long a capture tool takes to react, measured from outside. It triggers
// (a key press through XTest, or a command), then reads one root pixel in a tight loop until it
// differs from what was there (or, with --until-clipboard, until `xclip` can read an image/png
// from the clipboard), and reports the time. After each run it presses Escape and waits for the
// screen to return, unless --no-escape; --setup runs a command before each run (for example a
// capture with a chosen rectangle, so that the trigger is the Return that copies it).
// With --unmap-floor it measures the X server alone: a black window over the whole screen is
// unmapped, timed until the probe shows what lies under it again — the least any overlay's
// closing can take here.
// With --until-restored the time runs until the probe, once changed, shows what it showed before
// again: a probe inside the window under the pointer is dimmed by the frozen still, then lit
// again by the live overlay, which leaves the hovered window clear.
// --backdrop puts a small window of a plain colour, which the X server paints itself, under the
// probe, beneath every other window: what a closing overlay uncovers there shows without waiting
// for any program to repaint. Without it, a probe over a program's window also times that
// program's answer to the exposure (a Qt window repaints its content itself, ~25 ms here).
// A key trigger is preceded, once, by a Shift tap (see below).
//
//   tessal-latency --probe X,Y [--key ctrl+1 | --command "flameshot gui" | --unmap-floor]
//                  [--runs 10] [--setup CMD] [--no-escape] [--until-clipboard] [--backdrop]
//                  [--until-restored]
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Report.h"

namespace {

using Clock = std::chrono::steady_clock;

xcb_connection_t* c;
xcb_window_t root;

uint32_t pixel(int x, int y) {
    auto* reply = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, x, y, 1, 1, ~0u), nullptr);
    if (!reply) return 0;
    uint32_t value = 0;
    std::memcpy(&value, xcb_get_image_data(reply), 4);
    std::free(reply);
    return value & 0xffffff;
}

xcb_keycode_t keycode(xcb_keysym_t sym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, sym);
    const xcb_keycode_t k = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return k;
}

void tap(std::vector<xcb_keycode_t> keys) {
    for (auto k : keys)
        xcb_test_fake_input(c, XCB_KEY_PRESS, k, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
}

std::vector<xcb_keycode_t> parseKeys(const std::string& combination) {
    std::vector<xcb_keycode_t> keys;
    size_t start = 0;
    while (start <= combination.size()) {
        size_t end = combination.find('+', start);
        if (end == std::string::npos) end = combination.size();
        const std::string part = combination.substr(start, end - start);
        if (part == "ctrl")
            keys.push_back(keycode(0xffe3));
        else if (part == "shift")
            keys.push_back(keycode(0xffe1));
        else if (part == "alt")
            keys.push_back(keycode(0xffe9));
        else if (part == "Return")
            keys.push_back(keycode(0xff0d));
        else if (part.size() == 1)
            keys.push_back(keycode(part[0]));
        start = end + 1;
    }
    return keys;
}

std::vector<double> unmapTimes(int px, int py, int runs) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const xcb_window_t window = xcb_generate_id(c);
        const uint32_t values[] = {screen->black_pixel, 1};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, screen->width_in_pixels,
                          screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                          values);
        xcb_map_window(c, window);
        while (pixel(px, py) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Idle as long as between the runs of a capture tool.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        const auto start = Clock::now();
        xcb_unmap_window(c, window);
        xcb_flush(c);
        while (pixel(px, py) == 0 &&
               std::chrono::duration<double>(Clock::now() - start).count() < 5)
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::printf("run %d: %f ms\n", run + 1, ms);
        times.push_back(ms);
        xcb_destroy_window(c, window);
        xcb_flush(c);
    }
    return times;
}

// A 100 × 100 window of `colour` around the probe, below every other window.
void showBackdrop(int px, int py, uint32_t colour) {
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {colour, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, int16_t(px - 50), int16_t(py - 50),
                      100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    const uint32_t below = XCB_STACK_MODE_BELOW;
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    xcb_map_window(c, window);
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    xcb_flush(c);
}

}  // namespace

bool clipboardHasPng() {
    return std::system(
               "xclip -selection clipboard -t image/png -o 2>/dev/null | head -c 8 | "
               "grep -q PNG") == 0;
}

int main(int argc, char** argv) {
    int px = -1, py = -1, runs = 10;
    std::string key, command, setup;
    bool escapeAfter = true, untilClipboard = false, unmapFloor = false, backdrop = false,
         untilRestored = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--no-escape") escapeAfter = false;
        if (flag == "--until-clipboard") untilClipboard = true;
        if (flag == "--unmap-floor") unmapFloor = true;
        if (flag == "--backdrop") backdrop = true;
        if (flag == "--until-restored") untilRestored = true;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--no-escape" || a == "--until-clipboard" || a == "--unmap-floor" ||
            a == "--backdrop" || a == "--until-restored") {
            --i;
            continue;
        }
        if (a == "--setup")
            setup = argv[i + 1];
        else if (a == "--probe")
            std::sscanf(argv[i + 1], "%d,%d", &px, &py);
        else if (a == "--key")
            key = argv[i + 1];
        else if (a == "--command")
            command = argv[i + 1];
        else if (a == "--runs")
            runs = std::atoi(argv[i + 1]);
    }
    if (px < 0 || (!unmapFloor && key.empty() == command.empty())) {
        std::fprintf(stderr,
                     "usage: tessal-latency --probe X,Y (--key K | --command CMD) [--runs N]\n");
        return 2;
    }
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (backdrop) {
        constexpr uint32_t colour = 0x3366cc;
        showBackdrop(px, py, colour);
        const auto shown = Clock::now();
        while (pixel(px, py) != colour &&
               std::chrono::duration<double>(Clock::now() - shown).count() < 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (pixel(px, py) != colour) {
            std::fprintf(stderr, "the backdrop is covered at the probe: choose another point\n");
            return 1;
        }
    }
    if (unmapFloor) return reportTimes(unmapTimes(px, py, runs));
    const auto trigger = parseKeys(key);
    const auto escape = std::vector<xcb_keycode_t>{keycode(0xff1b)};
    // The first key XTest sends switches the core keyboard to its own device, and every X
    // client reloads its keymap then (6–10 ms in a Qt program). A user's keyboard has long been
    // that device: a Shift tap first, so that the first run does not time a switch no user has.
    if (command.empty()) {
        tap({keycode(0xffe1)});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        if (!setup.empty()) {
            if (std::system(setup.c_str()) != 0) std::fprintf(stderr, "setup failed\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        if (untilClipboard && std::system("echo none | xclip -selection clipboard") != 0)
            std::fprintf(stderr, "cannot clear the clipboard\n");
        const uint32_t before = pixel(px, py);
        const auto start = Clock::now();
        pid_t child = 0;
        if (!command.empty()) {
            child = fork();
            if (child == 0) {
                execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
                _exit(127);
            }
        } else {
            tap(trigger);
        }
        double ms = -1;
        bool changed = false;
        while (std::chrono::duration<double>(Clock::now() - start).count() < 5) {
            const bool done = untilClipboard  ? clipboardHasPng()
                              : untilRestored ? (changed = changed || pixel(px, py) != before) &&
                                                    pixel(px, py) == before
                                              : pixel(px, py) != before;
            if (done) {
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
            // A probe that spins takes a whole core (and the X server's attention) from the
            // program it measures on a small machine; a short pause keeps it fair.
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
        if (ms >= 0) times.push_back(ms);
        std::printf("run %d: %s\n", run + 1,
                    ms < 0 ? "no change within 5 s" : (std::to_string(ms) + " ms").c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (escapeAfter) {
            tap(escape);
            const auto back = Clock::now();
            while (pixel(px, py) != before &&
                   std::chrono::duration<double>(Clock::now() - back).count() < 5)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (child > 0) waitpid(child, nullptr, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    return reportTimes(times);
}
