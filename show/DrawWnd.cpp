#include "show/DrawWnd.h"

#include <cstdint>
#include <cstdlib>

#include "imaging/DecodePauses.h"
#include "imaging/DrawInPlace.h"
#include "platform/SettingsStore.h"
#include "foundation/lang/Throwable.h"

using glimsel_ui::DeviceContext;
using glimsel_ui::PaletteEntry;
using glimsel_ui::Rect;
using glimsel_ui::WindowSystem;
using img_lib::_ImageInfo;
using torvik_lang::_Ref;
using torvik_lang::_S;
using torvik_lang::throwRefException;

namespace {

// A random offset in 0 .. |room| - 1; a picture that exactly fits has no range and
// stays at 0.
int randomOffset(int room) {
    if (room == 0) return 0;
    return std::rand() % room;
}

// Drawing windows whose picture is being decoded. The decoders' state is shared, and a
// pause answers input for every window: none starts another picture meanwhile.
int windowsDecoding = 0;

}  // namespace

// Places a picture decoded at its own size straight into the window's pixels when it
// lies wholly inside the window; its place is drawn at random just as for a record, and
// at the same point of the random sequence (after the source's own choice). A part of
// the window uncovered during one of the decode's pauses shows the rows decoded so far.
class CDrawWnd::InPlace : public img_lib::PicturePlacer {
public:
    InPlace(DeviceContext& dc, const Rect& client) : dc(dc), client(client) {}
    bool offered() { return dc.pixelsFor(client, window); }

    bool place(int width, int height, img_lib::Canvas& rows) override {
        if (width > client.width() || height > client.height()) return false;
        const int x = randomOffset(client.width() - width);
        const int y = randomOffset(client.height() - height);
        rows = img_lib::Canvas{window.pixels + static_cast<size_t>(y) * static_cast<size_t>(window.stride) + x, width,
                               height, window.stride};
        area = Rect{client.left + x, client.top + y, client.left + x + width, client.top + y + height};
        return true;
    }
    void placed(bool complete) override {
        if (complete) {
            dc.showPixels(area);
        } else {
            dc.restorePixels(area);
        }
    }

private:
    DeviceContext& dc;
    Rect client;
    img_lib::Canvas window;
    Rect area;
};

// Counts a drawing request that is on the stack, and deletes a self-deleting window
// whose window went away meanwhile once the outermost request returns.
class CDrawWnd::DrawingRequest {
public:
    explicit DrawingRequest(CDrawWnd& w) : wnd(w) { ++wnd.drawingDepth; }
    ~DrawingRequest() {
        if (--wnd.drawingDepth == 0 && wnd.deletePending) delete &wnd;
    }

private:
    CDrawWnd& wnd;
};

// Marks the window busy while its picture is decoded, so that the ticks and paint
// requests that a pause dispatches leave it alone.
class CDrawWnd::Decoding {
public:
    explicit Decoding(CDrawWnd& w) : wnd(w) {
        wnd.busy = true;
        ++windowsDecoding;
    }
    ~Decoding() {
        wnd.busy = false;
        --windowsDecoding;
    }

private:
    CDrawWnd& wnd;
};

CDrawWnd::CDrawWnd(IImageSourceProvider& provider, bool autoDelete)
    : provider(provider), autoDelete(autoDelete), palette(drawingPalette()) {}

CDrawWnd::~CDrawWnd() = default;

std::array<PaletteEntry, 256> CDrawWnd::drawingPalette() {
    std::array<PaletteEntry, 256> entries{};
    for (int i = 0; i < 256; ++i) {
        entries[i] = PaletteEntry{static_cast<uint8_t>(32 * (i % 8)), static_cast<uint8_t>(32 * ((i / 8) % 8)),
                                  static_cast<uint8_t>(64 * (i / 64)), 0};
    }
    return entries;
}

unsigned CDrawWnd::timerPeriod(int speed) {
    // Positions beyond the bar's ends behave like its ends.
    if (speed < 0) speed = 0;
    if (speed > 100) speed = 100;
    if (speed <= 50) return static_cast<unsigned>(10000 - 180 * speed);
    return static_cast<unsigned>(1990 - (99 * speed) / 5);
}

void CDrawWnd::setSpeed(int speed) {
    killTimer(TIMER_ID);
    setTimer(TIMER_ID, timerPeriod(speed));
}

int CDrawWnd::onCreate() {
    clearPending = true;
    flashSleep = glimsel_settings::getProfileInt("Config", "flashSleep", -1);
    int speed = glimsel_settings::getProfileInt("Config", "Speed", 50);
    if (speed < 0) speed = 0;
    setSpeed(speed);
    return 0;
}

void CDrawWnd::onTimer(int id) {
    if (id != TIMER_ID || busy) return;
    std::unique_ptr<DeviceContext> dc = getDC();
    if (dc) draw(*dc);
}

void CDrawWnd::onPaint(DeviceContext& dc) { draw(dc); }

void CDrawWnd::draw(DeviceContext& dc) {
    DrawingRequest request(*this);
    try {
        drawNext(dc);
    } catch (torvik_lang::Throwable&) {
        // A source that lets an exception through (a read error in the database file)
        // costs this one picture; the show goes on with the next tick.
    } catch (std::bad_alloc&) {
        // Likewise for a picture too large for the memory at hand.
    }
}

void CDrawWnd::postNcDestroy() {
    windowGone = true;
    if (!autoDelete) return;
    if (drawingDepth > 0) {
        deletePending = true;
    } else {
        delete this;
    }
}

void CDrawWnd::drawNext(DeviceContext& dc) {
    if (busy) return;
    Rect client = clientRect();
    dc.selectPalette(palette.data(), static_cast<int>(palette.size()));
    if (clearPending) {
        dc.fillBlack(client);
        clearPending = false;
        return;
    }

    // The copy keeps the source alive until the picture has been drawn and freed: a
    // database picture points into its source's buffer, and the settings page may
    // replace the source while a flash runs.
    if (windowsDecoding > 0) return;
    _Ref<_IImageDatabase> source = provider.currentImageSource();
    if (!source) throwRefException(0);
    _Ref<_ImageInfo> record;
    {
        Decoding decoding(*this);
        // A preview draws its pictures small; they may be decoded small, too. A picture
        // drawn once at its own size may be decoded onto the window.
        img_lib::DrawScaleScope scale(scalePercent);
        img_lib::DecodePauseScope pauses(pauseEveryMs, answerInput, this);
        InPlace inPlace(dc, client);
        const bool direct = scalePercent == 100 && flashSleep < 0 && inPlace.offered();
        img_lib::DrawInPlaceScope placing(direct ? &inPlace : nullptr);
        record = source->getRandomImage();
    }
    // The window may have gone during a pause; there is nothing left to draw on.
    if (windowGone) return;
    if (!record) throwRefException(0);
    if (record->drawnInPlace) {
        record->freeImage();
        return;
    }

    int width;
    int height;
    if (!record->bits) {
        if (!record->name) throwRefException(0);
        record->name = *_S("Can't display: ") + record->name;
        glimsel_ui::Size extent = dc.textExtent(record->name->c_str());
        width = extent.width;
        height = extent.height;
    } else {
        // The size from any header form (a core header keeps 16-bit fields), and for a
        // picture decoded reduced the size it stands for: it lands where the whole
        // picture would.
        width = static_cast<int>(static_cast<int64_t>(record->fullWidth()) * scalePercent / 100);
        height = static_cast<int>(static_cast<int64_t>(record->fullHeight()) * scalePercent / 100);
    }

    int x = randomOffset(client.width() - width);
    int y = randomOffset(client.height() - height);

    if (!record->bits) {
        dc.textOut(x, y, record->name->c_str());
    } else {
        drawPicture(dc, x, y, width, height, *record);
        record->freeImage();
    }
}

void CDrawWnd::drawPicture(DeviceContext& dc, int x, int y, int width, int height, const _ImageInfo& picture) {
    auto stretch = [&](int sx, int sy, int sw, int sh) {
        dc.stretchDib(sx, sy, sw, sh, picture.info, picture.infoBytes, picture.bits, picture.bitsBytes);
    };
    if (flashSleep >= 0) {
        busy = true;
        for (int k = 0; k < FLASH_STEPS && !windowGone; ++k) {
            int sw = static_cast<int>(static_cast<int64_t>(k) * width / FLASH_STEPS);
            int sh = static_cast<int>(static_cast<int64_t>(k) * height / FLASH_STEPS);
            stretch(x + width / 2 - sw / 2, y + height / 2 - sh / 2, sw, sh);
            waitPumping(flashSleep);  // read anew for every step
        }
        busy = false;
    }
    // Once the window is gone (closed during the flash) there is nothing left to draw on.
    if (!windowGone) stretch(x, y, width, height);
}

bool CDrawWnd::answerInput(void* self) {
    CDrawWnd& wnd = *static_cast<CDrawWnd*>(self);
    WindowSystem& ws = WindowSystem::current();
    // Runs inside the decoder: nothing may leave here by an exception. What a handler
    // throws would otherwise have ended this drawing request; it ends the picture.
    try {
        while (!wnd.windowGone && ws.messageWaiting()) {
            if (!ws.dispatchOneMessage()) {
                // The run ends and the picture is not needed; the loop below still
                // waits for the quit request.
                ws.postQuit(ws.quitCode());
                return false;
            }
        }
    } catch (...) {
        return false;
    }
    return !wnd.windowGone;
}

void CDrawWnd::waitPumping(int ms) {
    WindowSystem& ws = WindowSystem::current();
    const uint32_t end = ws.tickCount() + static_cast<uint32_t>(ms);
    // The signed difference handles the wrap of the tick count; a negative wait (the
    // flash switched off during a flash) ends at once.
    auto left = [&] { return static_cast<int32_t>(end - ws.tickCount()); };
    bool quitSeen = false;
    while (left() > 0) {
        while (!quitSeen && ws.messageWaiting()) {
            if (!ws.dispatchOneMessage()) {
                ws.postQuit(EXIT_DURING_FLASH);
                quitSeen = true;
            }
        }
        for (int i = 0; ws.idle(i); ++i) {
        }
        // Rather than poll the clock, sleep until a message or the deadline. Once the
        // quit request went by, only the deadline is left to wait for.
        int32_t remaining = left();
        if (remaining <= 0) break;
        if (quitSeen) {
            ws.waitForMessage(0);
            break;
        }
        ws.waitForMessage(static_cast<uint32_t>(remaining));
    }
}
