#include "imaging/DecodePauses.h"

namespace img_lib {

namespace {
// Pictures are decoded on the thread that draws them.
thread_local DecodePauseScope* innermost = nullptr;
}  // namespace

DecodePauseScope::DecodePauseScope(int everyMs, Pause pause, void* context)
    : every(everyMs < 0 ? 0 : everyMs), pause(pause), context(context), due(Clock::now() + every), outer(innermost) {
    innermost = this;
}

DecodePauseScope::~DecodePauseScope() { innermost = outer; }

bool DecodePauseScope::mayGoOn() {
    DecodePauseScope* scope = innermost;
    if (!scope || scope->pausing || !scope->pause) return true;
    const Clock::time_point now = Clock::now();
    if (now < scope->due) return true;
    scope->pausing = true;
    const bool goOn = scope->pause(scope->context);
    scope->pausing = false;
    // The next pause counts from the end of this one: the time spent answering input
    // is not the decoder's.
    scope->due = Clock::now() + scope->every;
    return goOn;
}

}  // namespace img_lib
