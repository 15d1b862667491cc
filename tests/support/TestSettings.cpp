// tests/support/TestSettings.cpp
#include "support/TestSettings.h"

#include "settings/Paths.h"
#include "settings/Settings.h"

namespace keywhirl::testing {

TestSettings::TestSettings() {
    Settings::destroyInstance();
    setFolderOverrides(folder_.path(), folder_.path());
}

TestSettings::~TestSettings() {
    Settings::destroyInstance();
    resetFolderOverrides();
}

} // namespace keywhirl::testing
