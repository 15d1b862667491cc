// tests/unit/settings/SettingsTest.cpp
#include "settings/Settings.h"

#include "IniFileTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(Settings, MissingFileGivesEveryDefault) {
    testing::TempFolder temp;
    Settings settings(temp.file(L"Keywhirl.ini"), L"Settings");
    EXPECT_FALSE(settings.keyboardAutoPopupping);
    EXPECT_EQ(settings.keyboardWaitInterval, 3000u);
    EXPECT_EQ(settings.metronomeInterval, 500u);
    EXPECT_EQ(settings.keyboardOpacity, 225);
    EXPECT_EQ(settings.keyboardPosX, -1024);
    EXPECT_TRUE(settings.l10nLanguageCode.empty());
}

} // namespace
} // namespace keywhirl
