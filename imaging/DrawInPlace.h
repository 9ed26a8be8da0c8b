// Decoding straight onto the screen. A picture that is drawn once, at its own size and
// wholly inside the window, is decoded into the window's own pixels instead of into a
// record that is then copied there: the copy of a full-screen picture costs about a
// tenth of its decode. The drawing window offers the place; a decoder that can write
// rows of that form asks for it once it knows the picture's size.
#pragma once

#include "imaging/Canvas.h"

namespace img_lib {

class PicturePlacer {
public:
    virtual ~PicturePlacer() = default;
    // A picture of `width` by `height` pixels is about to be decoded at its own size:
    // the rows it goes into, exactly that size, each pixel the bytes B, G, R and a fourth
    // byte that is not shown. False: the decoder makes a record as usual.
    virtual bool place(int width, int height, Canvas& rows) = 0;
    // After a true place: every row is written and may be shown (true), or the decode
    // failed and the rows hold part of a picture that must not be seen (false).
    virtual void placed(bool complete) = 0;
};

// While a scope lives, the pictures decoded on this thread may go to `placer` (none when
// null). Scopes nest, the innermost counting.
class DrawInPlaceScope {
public:
    explicit DrawInPlaceScope(PicturePlacer* placer);
    ~DrawInPlaceScope();
    DrawInPlaceScope(const DrawInPlaceScope&) = delete;
    DrawInPlaceScope& operator=(const DrawInPlaceScope&) = delete;

    static PicturePlacer* current();

private:
    PicturePlacer* previous;
};

}  // namespace img_lib
