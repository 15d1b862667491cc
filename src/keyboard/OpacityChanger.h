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

// Steps the alpha of a layered window on a thread of its own, stepInterval
// ms apart, driven by the tick count so that a busy window thread does not
// slow a fade down. The thread lives only while a fade runs: a program that
// shows its windows now and then keeps no thread for them in between.
//
// Use: attach a window, setRange and setDuration, add listeners, start()
// once; then request each fade with setFadingIn followed by resume().
// Listeners are told whenever a fade is found finished: on the fader's
// thread, or on the caller's when a resume finds nothing left to do.
//
// Any thread may call the setters; the range, the alpha reached, the step,
// the direction and the thread's state are guarded by one lock, which is
// never held while a listener runs.
class OpacityChanger : public TimeChecker, public utils::Thread {
public:
    OpacityChanger();
    // Stops and waits for the thread before the members go.
    ~OpacityChanger() override;

    // Opens the fader for fades and tells the listeners where it stands; a
    // thread left from an earlier start is stopped first.
    void start() override;
    // After a stop, resume() starts no fade until the next start().
    void stop() override;
    void stopAndWait() override;

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
    // True while no fade runs, and with it no thread.
    bool isIdle() const;

    // One step towards the end of the fade; nothing without a window.
    void onTimeElapsed() override;
    // Whether the fade has reached its end; if so the alpha is set exactly
    // to that end and the listeners are told, in the order they were added.
    bool isFinished();
    // The fade thread: steps until the fade is finished or halted, then
    // ends, unless a resume came meanwhile.
    void run() override;
    // One step, after sleeping until it is due; a resume or halt wakes the
    // thread early.
    void process() override;
    // Lifts a halt and starts or wakes the thread for the fade that was
    // requested; a fade already at its end only tells the listeners.
    void resume() override;

protected:
    // The one place the alpha reaches the window.
    virtual void applyAlpha(HWND target, BYTE alpha);

private:
    // The caller holds the lock.
    void computeStep();
    // Starts or wakes the thread for another look at the fade.
    void requestRound();
    // Starts the thread for a fade, once the last fade's thread has gone.
    void launch();
    // On the fade thread: whether the thread may end now; if so, it is
    // marked as ended under the same lock that resume() takes.
    bool mayEnd();
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
    bool running;   // a fade thread exists and has not decided to end
    bool requested; // a resume came since the thread last looked
    bool closed;    // stopped: no new thread until the next start
    mutable utils::CriticalSection lock;
    // Serialises starting a fade thread with waiting for the last one.
    utils::CriticalSection threadLock;
};

} // namespace keywhirl
