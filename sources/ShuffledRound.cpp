#include "sources/ShuffledRound.h"

#include <cstdlib>
#include <utility>

namespace {

// A uniform choice in [0, n) from rand(), whose range may be as small as 32767.
int randomBelow(int n) {
    if (n <= 1) return 0;
    unsigned long value = static_cast<unsigned long>(std::rand());
    if (n > RAND_MAX) value = value * (static_cast<unsigned long>(RAND_MAX) + 1) + static_cast<unsigned long>(std::rand());
    return static_cast<int>(value % static_cast<unsigned long>(n));
}

}  // namespace

void ShuffledRound::startRound(int count) {
    pending.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) pending[static_cast<size_t>(i)] = i;
    for (int i = count - 1; i > 0; --i) std::swap(pending[static_cast<size_t>(i)], pending[static_cast<size_t>(randomBelow(i + 1))]);
    roundCount = count;
    // Drawn from the back: the round's first is the last element.
    if (count > 1 && pending.back() == last) std::swap(pending.back(), pending.front());
}

int ShuffledRound::next(int count) {
    if (count <= 0) {
        pending.clear();
        roundCount = 0;
        return -1;
    }
    if (count < roundCount) {
        startRound(count);
    } else if (count > roundCount) {
        // New pictures (a folder listed later) take random places in what is left.
        for (int i = roundCount; i < count; ++i) {
            pending.push_back(i);
            std::swap(pending.back(), pending[static_cast<size_t>(randomBelow(static_cast<int>(pending.size())))]);
        }
        roundCount = count;
    }
    if (pending.empty()) startRound(count);
    last = pending.back();
    pending.pop_back();
    return last;
}
