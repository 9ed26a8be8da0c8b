#include "tools/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace {

// Runs shorter than this finish before a bar would help.
constexpr int kMinimumSteps = 200;
constexpr int kWidth = 40;
constexpr std::chrono::milliseconds kInterval(100);

}  // namespace

Progress::Progress(const char* l, int t)
    : label(l), total(t), shown(t >= kMinimumSteps && isatty(fileno(stderr))), last(std::chrono::steady_clock::now()) {}

Progress::~Progress() { clear(); }

void Progress::update(int done) {
    if (!shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn && now - last < kInterval && done < total) return;
    last = now;
    draw(done);
}

void Progress::clear() {
    if (shown && drawn) {
        std::fprintf(stderr, "\r%*s\r", kWidth + 40, "");
        drawn = false;
    }
}

void Progress::draw(int done) {
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(done) * kWidth / total) : kWidth;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\r%s [%s] %d/%d", label, bar, done, total);
    std::fflush(stderr);
    drawn = true;
}
