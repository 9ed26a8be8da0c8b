// Long decodes that stop now and then to let the program answer its user.
//
// A 24-megapixel photo takes the decoders from a few tens of milliseconds (drawn small)
// to seconds (progressive, drawn whole). While a DecodePauseScope lives, the decoders on
// its thread call its pause every `everyMs` milliseconds of work; the drawing window
// answers waiting input there, so a key press in the settings sheet, or the input that
// ends the saver, never waits for the picture. The pause may ask for the picture to be
// given up; the decode then ends with DecodeCancelled.
#pragma once

#include <chrono>

#include "imaging/ImageInfo.h"

namespace img_lib {

// A decode given up at its pause's request: not a fault of the picture.
class DecodeCancelled : public ImageException {
public:
    DecodeCancelled() : ImageException("Picture given up") {}
};

class DecodePauseScope {
public:
    // Returns false to give the picture in progress up.
    using Pause = bool (*)(void* context);

    DecodePauseScope(int everyMs, Pause pause, void* context);
    ~DecodePauseScope();
    DecodePauseScope(const DecodePauseScope&) = delete;
    DecodePauseScope& operator=(const DecodePauseScope&) = delete;

    // For the decoders, called often (every few rows): runs the innermost scope's pause
    // when its time has come. False: give the picture up. Without a scope, or inside a
    // pause (a picture decoded there is not paused again), it is always true.
    static bool mayGoOn();

private:
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds every;
    Pause pause;
    void* context;
    Clock::time_point due;
    bool pausing = false;
    DecodePauseScope* outer;
};

}  // namespace img_lib
