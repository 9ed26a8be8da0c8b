// The drawing window: on a timer it asks the current image source for a picture,
// places it at a random position and draws it, optionally growing out of its centre
// (the flash effect). Pictures are never erased, so the window fills with a collage.
#pragma once

#include <array>

#include "platform/WindowSystem.h"
#include "show/ImageSourceProvider.h"

class CDrawWnd : public glimsel_ui::Window {
public:
    static constexpr int TIMER_ID = 1;
    static constexpr int FLASH_STEPS = 30;
    // waitPumping leaves this exit code when the run ended inside a flash.
    static constexpr int EXIT_DURING_FLASH = 88;

    // With `autoDelete` the object deletes itself once its window is gone.
    CDrawWnd(IImageSourceProvider& provider, bool autoDelete);
    ~CDrawWnd() override;

    int scalePercent = 100;  // set by the creator before the window is created
    int flashSleep = -1;     // ms between flash steps; negative: no flash
    // A long decode stops this often to answer waiting input (0: at every chance).
    int pauseEveryMs = 10;

    // Restarts the timer with the period for `speed`.
    void setSpeed(int speed);
    // The timer period for a speed position: 1000 ms at 50, 10 ms at 100.
    static unsigned timerPeriod(int speed);
    // The 3-3-2 colour cube, red varying fastest.
    static std::array<glimsel_ui::PaletteEntry, 256> drawingPalette();

    // The drawing request: the black background first, then one picture per call.
    void drawNext(glimsel_ui::DeviceContext& dc);
    void drawPicture(glimsel_ui::DeviceContext& dc, int x, int y, int width, int height,
                     const img_lib::_ImageInfo& picture);
    // Waits `ms` milliseconds while dispatching every message that arrives.
    void waitPumping(int ms);

    int onCreate() override;
    void onTimer(int id) override;
    void onPaint(glimsel_ui::DeviceContext& dc) override;
    void postNcDestroy() override;

protected:
    IImageSourceProvider& provider;

private:
    class DrawingRequest;
    class Decoding;
    class InPlace;
    void draw(glimsel_ui::DeviceContext& dc);
    // The decode's pause: dispatches what waits; false gives the picture up.
    static bool answerInput(void* self);

    bool autoDelete;
    bool clearPending = false;
    bool busy = false;
    std::array<glimsel_ui::PaletteEntry, 256> palette;

    // A destroyed self-deleting window whose drawing request is still on the stack is
    // deleted when that request returns, never before.
    int drawingDepth = 0;
    bool windowGone = false;
    bool deletePending = false;
};
