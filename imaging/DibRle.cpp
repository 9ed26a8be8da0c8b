#include "imaging/DibRle.h"

#include <algorithm>
#include <vector>

namespace img_lib {

namespace {

// A colour value never has its top byte set: it marks a pixel the stream left unset.
constexpr uint32_t kUnset = 0xFF000000;

// Walks the stream row by row (bottom row first, as stored) and keeps, for the plan's
// columns only, the colours the current source row gives them; when the row is left,
// those colours go to every canvas row that shows it. Rows come out in stream order, so
// memory stays at one canvas row however large the picture claims to be.
class RleDrawer {
public:
    RleDrawer(const Canvas& canvas, const DibFormat& format, const DrawPlan& plan)
        : canvas_(canvas), format_(format), plan_(plan), line_(plan.srcX.size(), kUnset),
          next_(static_cast<int64_t>(plan.srcY.size()) - 1) {}

    void run(const uint8_t* data, size_t size);

private:
    // True while the current source row is shown somewhere on the canvas.
    bool rowShown() const {
        return next_ >= 0 && plan_.srcY[static_cast<size_t>(next_)] == static_cast<uint32_t>(format_.height - 1) - row_;
    }
    bool finished() const { return next_ < 0 || row_ >= static_cast<uint32_t>(format_.height); }

    // Sets `count` pixels from the current position on; pixelAt(k) is the colour of the
    // k-th of them. Pixels past the row's end are dropped: runs do not wrap.
    template <class PixelAt>
    void put(uint64_t count, PixelAt pixelAt) {
        if (rowShown()) {
            const uint32_t* sx = plan_.srcX.data();
            const size_t n = plan_.srcX.size();
            while (cursor_ < n && sx[cursor_] < x_) ++cursor_;
            const uint64_t end = x_ + count;
            for (; cursor_ < n && sx[cursor_] < end; ++cursor_) {
                line_[cursor_] = pixelAt(sx[cursor_] - x_);
                dirty_ = true;
            }
        }
        x_ += count;
    }

    // Leaves the current source row: hands its colours to the canvas rows that show it.
    void endRow() {
        if (rowShown()) {
            const size_t n = line_.size();
            const size_t stride = static_cast<size_t>(canvas_.stride);
            do {
                if (dirty_) {
                    uint32_t* out = canvas_.pixels + (static_cast<size_t>(plan_.y0) + static_cast<size_t>(next_)) * stride +
                                    static_cast<size_t>(plan_.x0);
                    for (size_t k = 0; k < n; ++k)
                        if (line_[k] != kUnset) out[k] = line_[k];
                }
                --next_;
            } while (rowShown());
        }
        if (dirty_) std::fill(line_.begin(), line_.end(), kUnset);
        dirty_ = false;
        ++row_;
        cursor_ = 0;
    }

    const Canvas& canvas_;
    const DibFormat& format_;
    const DrawPlan& plan_;
    std::vector<uint32_t> line_;
    int64_t next_;        // index in plan_.srcY of the lowest canvas row not yet filled
    uint32_t row_ = 0;    // current source row in stream order (0 = bottom)
    uint64_t x_ = 0;      // current source column
    size_t cursor_ = 0;   // first plan column not yet passed in this row
    bool dirty_ = false;  // whether line_ holds any colour
};

void RleDrawer::run(const uint8_t* data, size_t size) {
    const uint32_t* pal = format_.palette;
    const bool four = format_.layout == DibLayout::Rle4;
    size_t at = 0;
    while (!finished() && size - at >= 2) {
        const uint32_t first = data[at], second = data[at + 1];
        at += 2;
        if (first > 0) {
            // Encoded run: `first` pixels of one index, or at 4 bits of two alternating ones.
            if (four) {
                const uint32_t hi = pal[second >> 4], lo = pal[second & 15];
                put(first, [&](uint64_t k) { return k & 1 ? lo : hi; });
            } else {
                const uint32_t colour = pal[second];
                put(first, [&](uint64_t) { return colour; });
            }
            continue;
        }
        if (second == 0) {  // end of line
            endRow();
            x_ = 0;
        } else if (second == 1) {  // end of bitmap
            break;
        } else if (second == 2) {  // delta: right and up from the current position
            if (size - at < 2) break;
            const uint32_t dx = data[at], dy = data[at + 1];
            at += 2;
            const uint64_t x = x_;
            for (uint32_t k = 0; k < dy && !finished(); ++k) endRow();
            x_ = x + dx;
        } else {
            // Absolute run of `second` indexes, padded to a 16-bit boundary.
            const size_t bytes = four ? (second + 1) / 2 : second;
            if (size - at < bytes) break;
            const uint8_t* p = data + at;
            if (four)
                put(second, [&](uint64_t k) { return pal[(p[k >> 1] >> (k & 1 ? 0 : 4)) & 15]; });
            else
                put(second, [&](uint64_t k) { return pal[p[k]]; });
            at += std::min(size - at, (bytes + 1) & ~static_cast<size_t>(1));
        }
    }
    // What the last row received is drawn, whether the stream ended with an end of
    // bitmap or simply stopped.
    if (!finished()) endRow();
}

}  // namespace

void drawRle(const Canvas& canvas, const DibFormat& format, const uint8_t* bits, const DrawPlan& plan) {
    RleDrawer drawer(canvas, format, plan);
    drawer.run(bits, format.dataBytes);
}

}  // namespace img_lib
