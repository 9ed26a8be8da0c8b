#include "imaging/DrawPlan.h"

#include <algorithm>

namespace img_lib {

namespace {

// Fills out[i] with the source index under target index first + i. The exact quotient
// ((2t + 1) * source) / (2 * target) is stepped with a remainder: no division per pixel.
// Products stay below 2^53: t < 2^32, source <= 2^20.
void mapNearest(int64_t target, int64_t source, int64_t first, std::vector<uint32_t>& out) {
    const uint64_t den = 2 * static_cast<uint64_t>(target);
    const uint64_t step = 2 * static_cast<uint64_t>(source);
    const uint64_t stepWhole = step / den;
    const uint64_t stepRest = step % den;
    uint64_t num = (2 * static_cast<uint64_t>(first) + 1) * static_cast<uint64_t>(source);
    uint64_t whole = num / den;
    uint64_t rest = num % den;
    for (uint32_t& s : out) {
        s = static_cast<uint32_t>(whole);
        whole += stepWhole;
        rest += stepRest;
        if (rest >= den) {
            rest -= den;
            ++whole;
        }
    }
}

}  // namespace

bool planDraw(const Canvas& canvas, const Rect& target, const Rect* clip, int32_t sourceWidth,
              int32_t sourceHeight, DrawPlan& plan) {
    if (target.width <= 0 || target.height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    int64_t left = std::max<int64_t>(target.x, 0);
    int64_t top = std::max<int64_t>(target.y, 0);
    int64_t right = std::min<int64_t>(static_cast<int64_t>(target.x) + target.width, canvas.width);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(target.y) + target.height, canvas.height);
    if (clip) {
        if (clip->width <= 0 || clip->height <= 0) return false;
        left = std::max<int64_t>(left, clip->x);
        top = std::max<int64_t>(top, clip->y);
        right = std::min<int64_t>(right, static_cast<int64_t>(clip->x) + clip->width);
        bottom = std::min<int64_t>(bottom, static_cast<int64_t>(clip->y) + clip->height);
    }
    if (left >= right || top >= bottom) return false;
    plan.x0 = static_cast<int>(left);
    plan.x1 = static_cast<int>(right);
    plan.y0 = static_cast<int>(top);
    plan.y1 = static_cast<int>(bottom);
    plan.srcX.resize(static_cast<size_t>(right - left));
    plan.srcY.resize(static_cast<size_t>(bottom - top));
    mapNearest(target.width, sourceWidth, left - target.x, plan.srcX);
    mapNearest(target.height, sourceHeight, top - target.y, plan.srcY);
    return true;
}

}  // namespace img_lib
