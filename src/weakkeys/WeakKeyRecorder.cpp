// src/weakkeys/WeakKeyRecorder.cpp
#include "weakkeys/WeakKeyRecorder.h"

#include <climits>

namespace keywhirl {

namespace {
constexpr DWORD kExtendedKeyFlag = 1u << 24;
static_assert(std::atomic<float>::is_always_lock_free, "the lead time is written without a lock");

// Only the dispatcher thread writes the slots while the program runs: a plain
// load and store is enough. A count stops at its largest value, as one read
// from a file may already be, instead of starting again from 0.
void countOneMore(std::atomic<unsigned>& count) {
    const unsigned now = count.load(std::memory_order_relaxed);
    if (now != UINT_MAX)
        count.store(now + 1, std::memory_order_relaxed);
}
} // namespace

WeakKeyRecorder::WeakKeyRecorder(const std::atomic<unsigned>* waitInterval)
    : waitInterval(waitInterval) {}

unsigned WeakKeyRecorder::keyIndex(const KeyInfoWrapper& event) {
    return keyIndex(event.scanCode(), (event.record().keyData & kExtendedKeyFlag) != 0);
}

void WeakKeyRecorder::handleKey(const KeyInfoWrapper& event) {
    const unsigned wait = waitInterval ? waitInterval->load(std::memory_order_relaxed) : 0;
    const TypingPause::Step step = pauses.next(event, event.time(), wait);
    // A held key is no pause, but its repeats are no presses either.
    if (!step.press)
        return;

    Slot& slot = slots[keyIndex(event)];
    countOneMore(slot.presses);
    if (step.timed && TypingPause::isTyping(step.pause)) {
        if (step.hesitation)
            countOneMore(slot.hesitations);
        const float lead = slot.leadTime.load(std::memory_order_relaxed);
        const float newest = static_cast<float>(step.pause);
        slot.leadTime.store(lead < 0 ? newest : lead + kLeadTimeWeight * (newest - lead),
                            std::memory_order_relaxed);
    }
    changed.store(true, std::memory_order_relaxed);
    revisionCount.store(revisionCount.load(std::memory_order_relaxed) + 1,
                        std::memory_order_relaxed);
}

WeakKeyRecorder::KeyCounts WeakKeyRecorder::counts(unsigned index) const {
    KeyCounts result;
    if (index >= kKeyCount)
        return result;
    const Slot& slot = slots[index];
    result.presses = slot.presses.load(std::memory_order_relaxed);
    result.hesitations = slot.hesitations.load(std::memory_order_relaxed);
    const float lead = slot.leadTime.load(std::memory_order_relaxed);
    result.hasLeadTime = lead >= 0;
    result.leadTime = result.hasLeadTime ? lead : 0;
    return result;
}

void WeakKeyRecorder::setCounts(unsigned index, const KeyCounts& counts) {
    if (index >= kKeyCount)
        return;
    Slot& slot = slots[index];
    slot.presses.store(counts.presses, std::memory_order_relaxed);
    slot.hesitations.store(counts.hesitations, std::memory_order_relaxed);
    slot.leadTime.store(counts.hasLeadTime && counts.leadTime >= 0 ? counts.leadTime : -1.0f,
                        std::memory_order_relaxed);
    touched();
}

void WeakKeyRecorder::clear() {
    for (Slot& slot : slots) {
        slot.presses.store(0, std::memory_order_relaxed);
        slot.hesitations.store(0, std::memory_order_relaxed);
        slot.leadTime.store(-1.0f, std::memory_order_relaxed);
    }
    touched();
}

void WeakKeyRecorder::touched() {
    changed.store(true, std::memory_order_relaxed);
    revisionCount.fetch_add(1, std::memory_order_relaxed);
}

} // namespace keywhirl
