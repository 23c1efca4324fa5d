// tessal-cold-copy: what one screen-sized memory pass costs on this machine, warm and after the
// machine has been idle, with ordinary and with 2 MiB pages. Showing the overlay is a chain of
// such passes (the server's copy into our segment, ours out of it, the first paint, the server's
// copy of the window's buffer), so this bounds what the shortcut-to-overlay figure can reach.
#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

double copyMs(char* to, const char* from, std::size_t n) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(to, from, n);
    asm volatile("" ::"r"(to) : "memory");
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void run(std::size_t bytes, int pauseMs, bool huge) {
    constexpr std::size_t align = std::size_t(2) << 20;
    char* a = static_cast<char*>(std::aligned_alloc(align, bytes));
    char* b = static_cast<char*>(std::aligned_alloc(align, bytes));
    if (huge) {
        madvise(a, bytes, MADV_HUGEPAGE);
        madvise(b, bytes, MADV_HUGEPAGE);
    }
    std::memset(a, 1, bytes);
    std::memset(b, 2, bytes);
    double total = 0;
    constexpr int runs = 8;
    for (int i = 0; i < runs; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        total += copyMs(b, a, bytes);
    }
    std::printf("copy %zu MB after %3d ms idle, %s pages: %.2f ms (mean of %d)\n", bytes >> 20,
                pauseMs, huge ? "2 MiB" : "4 KiB", total / runs, runs);
    std::free(a);
    std::free(b);
}

}  // namespace

int main() {
    const std::size_t screen = std::size_t(1920) * 1080 * 4;
    const std::size_t bytes = (screen + (std::size_t(2) << 20) - 1) & ~((std::size_t(2) << 20) - 1);
    for (int pause : {0, 20, 300})
        for (bool huge : {false, true}) run(bytes, pause, huge);
}
