// src/settings/Settings.cpp
#include "settings/Settings.h"

#include "settings/FileReplacement.h"
#include "settings/Paths.h"
#include "settings/ReadBackStorage.h"
#include "settings/persistence/CSettingsEntryTable.h"
#include "utils/SingletonDeleter.h"

#include <windows.h>

#include <cwctype>

namespace keywhirl {

namespace {

// The storage works on plain references: exchange through a local and store
// the result back.
template <typename T, typename D>
void entry(Duvuzora::CSettingsEntryTable& table, const wchar_t* key, std::atomic<T>& member,
           D defaultValue) {
    T value = member.load(std::memory_order_relaxed);
    table.Entry(key, value, static_cast<T>(defaultValue));
    member.store(value, std::memory_order_relaxed);
}

// An opacity is read wider than its byte, so that a value out of range in
// the file is held to the nearest one allowed instead of wrapping round.
void opacityEntry(Duvuzora::CSettingsEntryTable& table, const wchar_t* key,
                  std::atomic<unsigned char>& member, int defaultValue) {
    int value = member.load(std::memory_order_relaxed);
    table.Entry(key, value, defaultValue);
    if (value < Settings::MinimumOpacity)
        value = Settings::MinimumOpacity;
    if (value > 255)
        value = 255;
    member.store(static_cast<unsigned char>(value), std::memory_order_relaxed);
}

utils::SingletonDeleter<Settings> settingsDeleter;

} // namespace

Settings* Settings::instance_ = nullptr;
std::atomic<bool> Settings::fileKept{false};

Settings* Settings::instance() {
    if (instance_ == nullptr) {
        // Without an application-data folder there is nowhere to keep the
        // file: the defaults apply and nothing is written.
        std::wstring file = getSettingsFile();
        if (!file.empty()) {
            // Left by a crash during the last save: the INI itself is whole.
            FileReplacement(file).discard();
        }
        instance_ = new Settings(file, L"Settings");
    }
    return instance_;
}

void Settings::keepFileUnchanged() {
    fileKept = true;
}

void Settings::destroyInstance() {
    delete instance_;
    instance_ = nullptr;
}

Settings::Settings(const std::wstring& iniPath, const std::wstring& section)
    : storage_(
          std::make_unique<Duvuzora::CSettingsStorageIniFile>(iniPath.c_str(), section.c_str())) {
    ExchangeSettings(false, *storage_, false, true);
    Load(*storage_);
}

Settings::~Settings() {
    if (fileKept || !storage_->IsBound())
        return;
    // The profile functions rewrite the whole file for every key; they work
    // on a copy, which replaces the file once every key is written and reads
    // back as written (a full disk may cut the copy short without a word).
    FileReplacement file(storage_->GetPath());
    if (!file.beginFromCopy())
        return;
    Duvuzora::CSettingsStorageIniFile copy(file.temporaryPath().c_str(), storage_->GetSection());
    ReadBackStorage readBack(copy);
    if (copy.IsBound() && Save(copy) && Save(readBack))
        file.commit();
    else
        file.discard();
}

std::wstring Settings::joinProgramList(const std::vector<std::wstring>& programs) {
    std::wstring raw;
    for (const std::wstring& program : programs)
        raw += program + L'|';
    // Cleaned by the same rule as when reading.
    std::wstring text;
    for (const std::wstring& program : splitProgramList(raw))
        text += (text.empty() ? L"" : L"|") + program;
    return text;
}

std::vector<std::wstring> Settings::splitProgramList(const std::wstring& text) {
    std::vector<std::wstring> programs;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'|', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && std::iswspace(text[first]))
            ++first;
        while (last > first && std::iswspace(text[last - 1]))
            --last;
        std::wstring name = text.substr(first, last - first);
        bool seen = name.empty();
        for (const std::wstring& kept : programs)
            seen = seen || ::lstrcmpiW(kept.c_str(), name.c_str()) == 0;
        if (!seen)
            programs.push_back(name);
        start = end + 1;
    }
    return programs;
}

bool Settings::ExchangeSettings(bool continueOnError, Duvuzora::CSettingsStorage& storage,
                                bool save, bool setDefaults) {
    Duvuzora::CSettingsEntryTable table(continueOnError, storage, save, setDefaults);
    entry(table, L"keyboardAutoPopupping", keyboardAutoPopupping, false);
    entry(table, L"keyboardWaitInterval", keyboardWaitInterval, 3000u);
    entry(table, L"metronomeRunning", metronomeRunning, false);
    entry(table, L"metronomeInterval", metronomeInterval, DefaultMetronomeInterval);
    opacityEntry(table, L"keyboardOpacity", keyboardOpacity, 225);
    opacityEntry(table, L"statisticsOpacity", statisticsOpacity, 200);
    entry(table, L"enableKeyPressSound", enableKeyPressSound, false);
    entry(table, L"showShortStatistics", showShortStatistics, true);
    entry(table, L"setOpaqueStatisticsOnHover", setOpaqueStatisticsOnHover, true);
    entry(table, L"keyboardPosX", keyboardPosX, NoPosition);
    entry(table, L"keyboardPosY", keyboardPosY, NoPosition);
    entry(table, L"keyboardIsVisible", keyboardIsVisible, true);
    entry(table, L"autoRun", autoRun, true);
    entry(table, L"statTopRed", statTopRed, 152);
    entry(table, L"statTopGreen", statTopGreen, 229);
    entry(table, L"statTopBlue", statTopBlue, 255);
    entry(table, L"statBottomRed", statBottomRed, 193);
    entry(table, L"statBottomGreen", statBottomGreen, 241);
    entry(table, L"statBottomBlue", statBottomBlue, 255);
    table.Entry(L"l10nLanguageCode", l10nLanguageCode);
    entry(table, L"showWeakKeys", showWeakKeys, false);
    entry(table, L"speedUnit", speedUnit, 0u);
    std::wstring ignored = joinProgramList(ignoredPrograms);
    table.Entry(L"ignoredPrograms", ignored, L"");
    ignoredPrograms = splitProgramList(ignored);
    entry(table, L"keyboardFollowsTyping", keyboardFollowsTyping, true);

    // The settings dialog and the metronome divide by the interval.
    if (!save && metronomeInterval.load(std::memory_order_relaxed) == 0)
        metronomeInterval.store(DefaultMetronomeInterval, std::memory_order_relaxed);
    return table.Result();
}

} // namespace keywhirl
