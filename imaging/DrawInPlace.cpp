#include "imaging/DrawInPlace.h"

namespace img_lib {

namespace {
// Pictures are decoded on the thread that draws them.
thread_local PicturePlacer* currentPlacer = nullptr;
}  // namespace

DrawInPlaceScope::DrawInPlaceScope(PicturePlacer* placer) : previous(currentPlacer) { currentPlacer = placer; }

DrawInPlaceScope::~DrawInPlaceScope() { currentPlacer = previous; }

PicturePlacer* DrawInPlaceScope::current() { return currentPlacer; }

}  // namespace img_lib
