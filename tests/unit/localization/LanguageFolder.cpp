// tests/unit/localization/LanguageFolder.cpp
#include "LanguageFolder.h"

#include "TestFiles.h"
#include "localization/LocalizationManager.h"

#include <windows.h>

namespace keywhirl::testing {

LanguageFolder::LanguageFolder() {
    LocalizationManager::destroyInstance();
    ::CreateDirectoryW(localizationFolder().c_str(), nullptr);
}

LanguageFolder::~LanguageFolder() {
    LocalizationManager::destroyInstance();
}

std::wstring LanguageFolder::localizationFolder() const {
    return settings.folder().path() + L"\\Localization";
}

void LanguageFolder::addLanguage(const std::wstring& code,
                                 const std::vector<SectionText>& sections) {
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<content>\r\n";
    for (const SectionText& section : sections) {
        text += L"\t<section name=\"" + section.name + L"\">\r\n";
        for (const auto& [key, value] : section.keys)
            text += L"\t\t<key name=\"" + key + L"\" value=\"" + value + L"\"/>\r\n";
        text += L"\t</section>\r\n";
    }
    text += L"</content>\r\n";
    writeBytes(localizationFolder() + L"\\" + code + L".xml", utf16(text));
}

void LanguageFolder::addSimpleLanguage(const std::wstring& code,
                                       const std::vector<std::wstring>& sections) {
    std::vector<SectionText> all = {{L"Locale", {{L"languageName", L"Language " + code}}}};
    for (const std::wstring& name : sections)
        all.push_back({name, {{L"text", name + L" in " + code}}});
    addLanguage(code, all);
}

void LanguageFolder::startManager() {
    LocalizationManager::reload();
}

} // namespace keywhirl::testing
