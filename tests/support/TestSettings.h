// tests/support/TestSettings.h - program settings kept in a temporary folder.
#pragma once

#include "support/TempFolder.h"

namespace keywhirl::testing {

// While it lives, the program and application-data folders are a fresh
// temporary folder, so Settings::instance() starts from the defaults and
// writes nothing outside it.
class TestSettings {
public:
    TestSettings();
    ~TestSettings();
    TestSettings(const TestSettings&) = delete;
    TestSettings& operator=(const TestSettings&) = delete;

    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
};

} // namespace keywhirl::testing
