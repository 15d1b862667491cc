// src/settings/Settings.h - the program's settings, kept in Keywhirl.ini.
#pragma once

#include "settings/persistence/CSettings.h"
#include "settings/persistence/CSettingsStorageIniFile.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace keywhirl {

// The one settings object. The members carry the names of the INI keys of
// the section "Settings". They are read once, when the object is made, and
// written once, when it is destroyed; in between everybody reads and
// changes the members directly. Changes are made on the main thread; worker
// threads read the atomic members with relaxed loads.
class Settings : public Duvuzora::CSettings {
public:
    // Made on the first call: reads <application data>\Keywhirl\Keywhirl.ini
    // (the folder is created when missing); never fails.
    static Settings* instance();
    // Saves and destroys the object; a later instance() reads the file anew.
    static void destroyInstance();
    // From now on to the end of the process no settings object writes its
    // file: a start that fails leaves the user's settings as they were.
    static void keepFileUnchanged();

    // Binds to section of the INI file at iniPath and loads it; missing or
    // unreadable keys take their defaults. An empty path gives an object
    // that holds the defaults and saves nothing.
    Settings(const std::wstring& iniPath, const std::wstring& section);
    // Writes every key, in table order.
    ~Settings() override;

    bool ExchangeSettings(bool continueOnError, Duvuzora::CSettingsStorage& storage, bool save,
                          bool setDefaults) override;

    // Keep this order: it is the order of the entry table and of the keys
    // in a freshly written file.
    std::atomic<bool> keyboardAutoPopupping{};
    std::atomic<unsigned> keyboardWaitInterval{}; // ms
    std::atomic<bool> metronomeRunning{};
    std::atomic<unsigned> metronomeInterval{}; // ms; a stored 0 loads as 500
    std::atomic<unsigned char> keyboardOpacity{};
    std::atomic<unsigned char> statisticsOpacity{};
    std::atomic<bool> enableKeyPressSound{};
    std::atomic<bool> showShortStatistics{};
    std::atomic<bool> setOpaqueStatisticsOnHover{};
    std::atomic<long> keyboardPosX{}; // -1024: no position stored
    std::atomic<long> keyboardPosY{};
    std::atomic<bool> keyboardIsVisible{};
    std::atomic<bool> autoRun{};
    std::atomic<unsigned char> statTopRed{};
    std::atomic<unsigned char> statTopGreen{};
    std::atomic<unsigned char> statTopBlue{};
    std::atomic<unsigned char> statBottomRed{};
    std::atomic<unsigned char> statBottomGreen{};
    std::atomic<unsigned char> statBottomBlue{};
    // Main thread only. Empty: no language chosen yet.
    std::wstring l10nLanguageCode;
    // The keyboard picture shows the weak keys' heat tint.
    std::atomic<bool> showWeakKeys{};
    // The unit of every typing speed shown: 0 symbols per minute, 1 words
    // per minute (five symbols a word); see statistics/SpeedUnit.h.
    std::atomic<unsigned> speedUnit{};
    // The hint comes to the monitor of the window the user types in.
    std::atomic<bool> keyboardFollowsTyping{};

    // Main thread only. File names of the programs in which nothing is
    // counted and nothing shows ("game.exe"); kept as one value, the names
    // parted by "|", which no file name holds.
    std::vector<std::wstring> ignoredPrograms;

    // The stored form of ignoredPrograms and back: blanks around a name and
    // empty names drop out, and a name given twice (in any case) is kept once.
    static std::wstring joinProgramList(const std::vector<std::wstring>& programs);
    static std::vector<std::wstring> splitProgramList(const std::wstring& text);

    static constexpr long NoPosition = -1024;
    static constexpr unsigned DefaultMetronomeInterval = 500;
    // Below this a window can hardly be seen: a lower opacity from the file
    // is raised to it, and the settings dialog offers no lower one.
    static constexpr unsigned char MinimumOpacity = 20;

private:
    std::unique_ptr<Duvuzora::CSettingsStorageIniFile> storage_;

    static Settings* instance_;
    static std::atomic<bool> fileKept;
};

} // namespace keywhirl
