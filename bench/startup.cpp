// tessal-startup: how long the resident program takes to become usable, measured from outside.
// It starts the command, then watches the system tray (trayer) until a window of class "tessal"
// is docked in it, and reports the time; the program registers its shortcut before it offers
// the icon, which the probe confirms once by trying to take Ctrl+1 itself. After each run it
// stops the program (SIGTERM) and waits for it to exit.
//
//   tessal-startup [--runs 10] -- COMMAND [ARGS…]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

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

std::string windowClass(xcb_window_t window) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), nullptr);
    if (!reply) return {};
    std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
                      std::size_t(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

std::vector<xcb_window_t> children(xcb_window_t window) {
    std::vector<xcb_window_t> result;
    auto* reply = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!reply) return result;
    const xcb_window_t* list = xcb_query_tree_children(reply);
    result.assign(list, list + xcb_query_tree_children_length(reply));
    std::free(reply);
    return result;
}

// Whether a window of class "tessal" lies anywhere below `window`.
bool holdsTessal(xcb_window_t window, int depth = 0) {
    for (xcb_window_t child : children(window)) {
        if (windowClass(child).rfind("tessal", 0) == 0) return true;
        if (depth < 4 && holdsTessal(child, depth + 1)) return true;
    }
    return false;
}

std::vector<xcb_window_t> trays(xcb_window_t root) {
    std::vector<xcb_window_t> found;
    for (xcb_window_t top : children(root)) {
        if (windowClass(top).find("trayer") != std::string::npos) found.push_back(top);
        for (xcb_window_t inner : children(top))
            if (windowClass(inner).find("trayer") != std::string::npos) found.push_back(inner);
    }
    return found;
}

// True when Ctrl+1 is held by another client: our own grab is refused.
bool ctrl1Held(xcb_window_t root) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, '1');
    const xcb_keycode_t key = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_grab_key_checked(c, 0, root, XCB_MOD_MASK_CONTROL, key,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool refused = error != nullptr;
    std::free(error);
    if (!refused) xcb_ungrab_key(c, key, root, XCB_MOD_MASK_CONTROL);
    xcb_flush(c);
    return refused;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10, first = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::atoi(argv[++i]);
        if (std::strcmp(argv[i], "--") == 0) {
            first = i + 1;
            break;
        }
    }
    if (first < 0 || first >= argc) {
        std::fprintf(stderr, "usage: tessal-startup [--runs N] -- COMMAND [ARGS...]\n");
        return 2;
    }
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::vector<xcb_window_t> tray = trays(root);
    if (tray.empty()) {
        std::fprintf(stderr, "no trayer window\n");
        return 1;
    }
    std::vector<double> times;
    bool shortcutChecked = false;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[first], argv + first);
            _exit(127);
        }
        double ms = -1;
        while (std::chrono::duration<double>(Clock::now() - start).count() < 10) {
            if (std::any_of(tray.begin(), tray.end(),
                            [](xcb_window_t t) { return holdsTessal(t); })) {
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        std::printf("run %d: %s\n", run + 1,
                    ms < 0 ? "no tray icon within 10 s" : (std::to_string(ms) + " ms").c_str());
        if (ms >= 0) times.push_back(ms);
        if (ms >= 0 && !shortcutChecked) {
            shortcutChecked = true;
            std::printf("Ctrl+1 held once the icon is there: %s\n", ctrl1Held(root) ? "yes" : "NO");
        }
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        // Let the tray settle and the machine go idle, as before a real start.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    return reportTimes(times);
}
