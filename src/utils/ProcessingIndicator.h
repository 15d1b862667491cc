// src/utils/ProcessingIndicator.h - a scoped spin guard over a one-byte busy flag.
#pragma once

#include <atomic>

namespace keywhirl::utils {

// Holds the flag from construction to the end of the enclosing block. It
// spins without sleeping and is not re-entrant; guarded sections are short.
class ProcessingIndicator {
public:
    explicit ProcessingIndicator(std::atomic<bool>* flag) : flag(flag) {
        while (flag->exchange(true, std::memory_order_acquire)) {
        }
    }
    virtual ~ProcessingIndicator() { flag->store(false, std::memory_order_release); }
    ProcessingIndicator(const ProcessingIndicator&) = delete;
    ProcessingIndicator& operator=(const ProcessingIndicator&) = delete;

private:
    std::atomic<bool>* flag;
};

} // namespace keywhirl::utils
