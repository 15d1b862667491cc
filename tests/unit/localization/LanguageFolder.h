// tests/unit/localization/LanguageFolder.h - a program folder of its own with
// language files made up by a test.
#pragma once

#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace keywhirl::testing {

// One section of a made-up language file and its keys (name, value).
struct SectionText {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> keys;
};

// While a test runs, the program folder is a fresh temporary folder with an
// empty "Localization" folder, the settings start from their defaults and no
// localization manager exists.
class LanguageFolder : public ::testing::Test {
protected:
    LanguageFolder();
    ~LanguageFolder() override;

    std::wstring localizationFolder() const;
    // Writes <code>.xml as UTF-16 with the mark.
    void addLanguage(const std::wstring& code, const std::vector<SectionText>& sections);
    // A language with the section "Locale" naming it and one text per
    // section below, each "<section> in <code>".
    void addSimpleLanguage(const std::wstring& code, const std::vector<std::wstring>& sections);
    // Makes the manager anew after the files are in place.
    void startManager();

    TestSettings settings;
};

} // namespace keywhirl::testing
