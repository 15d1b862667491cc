// src/keyboard/OpacityChanger.cpp
#include "keyboard/OpacityChanger.h"

#include "utils/FineTimer.h"

namespace keywhirl {

namespace {
constexpr BYTE kDefaultLow = 0;
constexpr BYTE kDefaultHigh = 255;
constexpr unsigned kDefaultDuration = 300;
constexpr unsigned kStepInterval = 10;
constexpr UINT kRefreshFrame =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
} // namespace

// The TimeChecker base only keeps the address of stepInterval; it reads the
// value at its first check, long after the member is set.
OpacityChanger::OpacityChanger()
    : TimeChecker(&stepInterval), low(kDefaultLow), high(kDefaultHigh), current(kDefaultHigh),
      duration(kDefaultDuration), window(nullptr), step(1.0), stepInterval(kStepInterval),
      fadingIn(true), halted(false), running(false), requested(false), closed(false) {
    computeStep();
}

OpacityChanger::~OpacityChanger() {
    // The thread reads the members below; it ends before they go.
    stopAndWait();
}

void OpacityChanger::start() {
    // A second start must not leave the first thread running unowned.
    stopAndWait();
    {
        utils::Lock guard(lock);
        closed = false;
    }
    resume();
}

void OpacityChanger::stop() {
    {
        utils::Lock guard(lock);
        closed = true;
    }
    Thread::stop();
}

void OpacityChanger::stopAndWait() {
    stop();
    // A resume that got past the closed flag just before the stop may be
    // starting a thread: once it has, that thread is stopped as well.
    utils::Lock guard(threadLock);
    Thread::stopAndWait();
}

bool OpacityChanger::isIdle() const {
    utils::Lock guard(lock);
    return !running;
}

void OpacityChanger::attach(HWND target) {
    window = target;
    if (!target)
        return;
    LONG exStyle = ::GetWindowLongW(target, GWL_EXSTYLE);
    ::SetWindowLongW(target, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ::SetWindowPos(target, nullptr, 0, 0, 0, 0, kRefreshFrame);
}

void OpacityChanger::setRange(BYTE newLow, BYTE newHigh, BYTE newCurrent) {
    utils::Lock guard(lock);
    low = newLow;
    high = newHigh;
    current = newCurrent;
    // Applied under the lock, so a step running at the same time cannot
    // put an older alpha on the window after this one.
    HWND target = window;
    if (target)
        applyAlpha(target, newCurrent);
    computeStep();
}

void OpacityChanger::setDuration(unsigned milliseconds) {
    utils::Lock guard(lock);
    duration = milliseconds;
    computeStep();
}

void OpacityChanger::setFadingIn(bool in) {
    utils::Lock guard(lock);
    fadingIn = in;
}

void OpacityChanger::addListener(ActionListener<OpacityChanger>* listener) {
    utils::Lock guard(lock);
    listeners.push_back(listener);
}

BYTE OpacityChanger::getLow() const {
    utils::Lock guard(lock);
    return low;
}

BYTE OpacityChanger::getHigh() const {
    utils::Lock guard(lock);
    return high;
}

BYTE OpacityChanger::getAlpha() const {
    utils::Lock guard(lock);
    return alphaOf(current);
}

bool OpacityChanger::isFadingIn() const {
    utils::Lock guard(lock);
    return fadingIn;
}

double OpacityChanger::getStep() const {
    utils::Lock guard(lock);
    return step;
}

unsigned OpacityChanger::getDuration() const {
    utils::Lock guard(lock);
    return duration;
}

BYTE OpacityChanger::alphaOf(double value) const {
    // Truncated towards zero, then the low 8 bits.
    return static_cast<BYTE>(static_cast<int>(value) & 0xFF);
}

void OpacityChanger::computeStep() {
    // A zero duration would divide by zero; a reversed range would wrap
    // round to a huge step. Both get the smallest step instead.
    unsigned span = high >= low ? static_cast<unsigned>(high - low) : 0u;
    unsigned length = duration ? duration : 1u;
    unsigned perStep = span * stepInterval.load(std::memory_order_relaxed) / length;
    step = perStep ? static_cast<double>(perStep) : 1.0;
}

void OpacityChanger::halt() {
    // Once the lock is ours, a step under way has reached the window and
    // every later one sees the flag.
    utils::Lock guard(lock);
    halted = true;
}

void OpacityChanger::onTimeElapsed() {
    HWND target = window;
    if (!target)
        return;
    utils::Lock guard(lock);
    if (halted)
        return;
    if (fadingIn) {
        current += step;
        if (current > high)
            current = high;
    } else {
        current -= step;
        if (current < low)
            current = low;
    }
    applyAlpha(target, alphaOf(current));
}

bool OpacityChanger::isFinished() {
    std::vector<ActionListener<OpacityChanger>*> toTell;
    {
        utils::Lock guard(lock);
        bool finished = fadingIn ? current >= high : current <= low;
        if (!finished)
            return false;
        // The last step has already put this value on the window.
        current = fadingIn ? high : low;
        toTell = listeners;
    }
    // Outside the lock: a listener may act on a window whose thread is
    // waiting for this lock.
    for (ActionListener<OpacityChanger>* listener : toTell)
        listener->onAction(*this);
    return true;
}

void OpacityChanger::run() {
    utils::FineTimer fineTimer;
    for (;;) {
        bool isHalted;
        {
            utils::Lock guard(lock);
            requested = false;
            isHalted = halted;
        }
        bool over = isStopped() || isHalted || isFinished();
        if (!over)
            process();
        else if (mayEnd())
            return;
    }
}

bool OpacityChanger::mayEnd() {
    utils::Lock guard(lock);
    // A resume since the last look asks for another round; a stop does not.
    if (requested && !isStopped())
        return false;
    running = false;
    return true;
}

void OpacityChanger::process() {
    suspend(millisecondsLeft());
    check();
}

void OpacityChanger::resume() {
    {
        utils::Lock guard(lock);
        if (closed)
            return;
        halted = false;
    }
    // A fade that is at its end already needs no thread: the listeners are
    // told here. Every typing key asks the hidden keyboard to fade out.
    if (isIdle() && isFinished())
        return;
    requestRound();
}

void OpacityChanger::requestRound() {
    bool startThread;
    {
        utils::Lock guard(lock);
        if (closed)
            return;
        requested = true;
        startThread = !running;
        running = true;
    }
    if (startThread)
        launch();
    else
        Thread::resume();
}

void OpacityChanger::launch() {
    utils::Lock guard(threadLock);
    // The last fade's thread has marked itself ended; all it has left to do
    // is to return.
    waitUntilEnded();
    Thread::start();
}

void OpacityChanger::applyAlpha(HWND target, BYTE alpha) {
    ::SetLayeredWindowAttributes(target, 0, alpha, LWA_ALPHA);
}

} // namespace keywhirl
