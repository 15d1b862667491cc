// src/input/TypingPause.cpp
#include "input/TypingPause.h"

#include "utils/TickCount.h"

namespace keywhirl {

TypingPause::Step TypingPause::next(const KeyInfoWrapper& event, DWORD time, DWORD wait) {
    Step step;
    if (!isTypingKey(event))
        return step;
    step.press = !event.wasDown();
    if (any) {
        step.timed = true;
        // A time a little before the last one (a key stamped on arrival among
        // keys timed by the system) is no pause at all, and the later time
        // stays the mark. Unsigned differences survive the counter's wrap.
        const bool backwards = utils::slightlyBefore(time, lastTime);
        step.pause = backwards ? 0 : time - lastTime;
        if (!backwards)
            lastTime = time;
    } else {
        lastTime = time;
        any = true;
    }
    step.hesitation = step.timed && step.press && isHesitation(step.pause, wait);
    return step;
}

} // namespace keywhirl
