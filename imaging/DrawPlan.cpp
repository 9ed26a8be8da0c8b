#include "imaging/DrawPlan.h"

#include <algorithm>

namespace img_lib {

namespace {

enum class Axis { Columns, Rows };

// Fills out[i] with the source index for target index first + i. Each rule is
// floor(num / 2T) + bias with num growing by 2S per target pixel, so the quotient is
// stepped with a remainder: no division per pixel. Numerators stay below 2^54:
// t < 2^33, S <= 2^20.
void mapAxis(Axis axis, int64_t target, int64_t source, int64_t first, std::vector<uint32_t>& out) {
    const uint64_t t = static_cast<uint64_t>(target), s = static_cast<uint64_t>(source);
    const uint64_t f = static_cast<uint64_t>(first);
    const uint64_t den = 2 * t;
    uint64_t num;
    uint64_t bias = 0;  // subtracted
    if (t >= s) {
        num = (2 * f + 1) * s - 1;
    } else if (axis == Axis::Rows) {
        num = 2 * f * s + t;
    } else {
        num = 2 * (f + 1) * s + t;
        bias = 1;
    }
    const uint64_t step = 2 * s;
    const uint64_t stepWhole = step / den;
    const uint64_t stepRest = step % den;
    uint64_t whole = num / den;
    uint64_t rest = num % den;
    for (uint32_t& v : out) {
        v = static_cast<uint32_t>(whole - bias);
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
    mapAxis(Axis::Columns, target.width, sourceWidth, left - target.x, plan.srcX);
    mapAxis(Axis::Rows, target.height, sourceHeight, top - target.y, plan.srcY);
    return true;
}

}  // namespace img_lib
