// src/input/KeyTranslator.cpp
#include "input/KeyTranslator.h"

#include <atomic>

namespace keywhirl {

namespace {
class SystemKeyTranslator : public KeyTranslator {
public:
    int toUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, wchar_t* buffer, int size,
                  UINT flags, HKL layout) override {
        return ::ToUnicodeEx(virtualKey, scanCode, keyState, buffer, size, flags, layout);
    }
    UINT mapVirtualKey(UINT code, UINT mapType, HKL layout) override {
        return ::MapVirtualKeyExW(code, mapType, layout);
    }
};

SystemKeyTranslator systemTranslator;
std::atomic<KeyTranslator*> currentTranslator{&systemTranslator};
} // namespace

KeyTranslator& KeyTranslator::current() {
    return *currentTranslator.load();
}

void KeyTranslator::setCurrent(KeyTranslator* translator) {
    currentTranslator.store(translator ? translator : &systemTranslator);
}

} // namespace keywhirl
