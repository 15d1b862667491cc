// src/keyboard/OpacityChanger.h - fades a layered window between two alpha values.
#pragma once

#include "keyboard/ActionListener.h"
#include "utils/CriticalSection.h"
#include "utils/Thread.h"
#include "utils/TimeChecker.h"

#include <windows.h>

#include <atomic>
#include <vector>

namespace keywhirl {

// Steps the alpha of a layered window on a thread of its own, at least
// stepInterval ms apart, driven by the tick count so that a busy window
// thread does not slow a fade down. Between fades the thread sleeps.
//
// Use: attach a window, setRange and setDuration, add listeners, start()
// once; then request each fade with setFadingIn followed by resume().
// Listeners are told, on the fader's thread, whenever a fade is found
// finished, also when a resume found nothing left to do.
//
// Any thread may call the setters; the range, the alpha reached, the step
// and the direction are guarded by one lock, which is never held while a
// listener runs.
class OpacityChanger : public TimeChecker, public utils::Thread {
public:
    OpacityChanger();
    // Stops and waits for the thread before the members go.
    ~OpacityChanger() override;

    // Starts the thread; a thread left from an earlier start is stopped first.
    void start() override;

    // Makes the window layered; steps and setRange act on it from now on.
    void attach(HWND window);
    // Stores the range and jumps to current at once, without a fade.
    void setRange(BYTE low, BYTE high, BYTE current);
    // Nominal length of a full fade from low to high; 0 counts as 1 ms.
    void setDuration(unsigned milliseconds);
    // The direction of the next steps; resume() sets them going.
    void setFadingIn(bool fadingIn);
    void addListener(ActionListener<OpacityChanger>* listener);

    BYTE getLow() const;
    BYTE getHigh() const;
    // The alpha reached so far.
    BYTE getAlpha() const;
    bool isFadingIn() const;
    double getStep() const;
    unsigned getDuration() const;

    // Stops a fade where it is until the next resume(). When it returns, no
    // further step reaches the window, and the listeners are not told.
    void halt();
    // True while the thread sleeps between fades.
    bool isIdle() const { return isSuspended(); }

    // One step towards the end of the fade; nothing without a window.
    void onTimeElapsed() override;
    // Whether the fade has reached its end; if so the alpha is set exactly
    // to that end and the listeners are told, in the order they were added.
    bool isFinished();
    // Sleeps when the fade is finished or halted, otherwise takes a step
    // when one is due. Runs without pause while a fade is under way.
    void process() override;
    // Lifts a halt and wakes the thread for the fade that was requested.
    void resume() override;

protected:
    // The one place the alpha reaches the window.
    virtual void applyAlpha(HWND target, BYTE alpha);

private:
    // The caller holds the lock.
    void computeStep();
    BYTE alphaOf(double value) const;

    BYTE low;
    BYTE high;
    double current;
    unsigned duration;
    std::atomic<HWND> window;
    double step;
    std::atomic<unsigned> stepInterval;
    bool fadingIn;
    std::vector<ActionListener<OpacityChanger>*> listeners;

    bool halted;
    mutable utils::CriticalSection lock;
};

} // namespace keywhirl
