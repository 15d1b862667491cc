// src/settings/persistence/CSettingsEntryTable.h - one run over a settings object's entry table.
#pragma once

#include "settings/persistence/CSettingsStorage.h"

#include <string>

namespace Duvuzora {

class CSettings;

// Built with the arguments of ExchangeSettings; each Entry call is one
// (key, member, default) line of the table, handled by the storage operation
// for the member's type:
// - setDefaults: the member takes its default and no storage is touched; an
//   entry without a default stays as it is;
// - a failed entry without continueOnError ends the run: later entries are
//   not touched and Result() is false;
// - a failed load with continueOnError gives the member its default (or
//   leaves it, when it has none) and the result stays true;
// - a failed save with continueOnError makes Result() false, and the run
//   goes on, so every other key is still written.
//
//     CSettingsEntryTable table(continueOnError, storage, save, setDefaults);
//     table.Entry(L"width", width, 640u);
//     table.Entry(L"title", title);
//     return table.Result();
class CSettingsEntryTable {
public:
    CSettingsEntryTable(bool continueOnError, CSettingsStorage& storage, bool save,
                        bool setDefaults);

    template <typename T, typename D>
    void Entry(const wchar_t* key, T& member, const D& defaultValue) {
        if (stopped_)
            return;
        if (setDefaults_) {
            member = static_cast<T>(defaultValue);
            return;
        }
        if (!Exchange(key, member))
            Failed([&] { member = static_cast<T>(defaultValue); });
    }

    // An entry with no default.
    template <typename T> void Entry(const wchar_t* key, T& member) {
        if (stopped_ || setDefaults_)
            return;
        if (!Exchange(key, member))
            Failed([] {});
    }

    bool Result() const { return result_; }
    bool IsSaving() const { return save_; }
    bool IsSettingDefaults() const { return setDefaults_; }

private:
    template <typename Restore> void Failed(Restore restoreDefault) {
        if (!continueOnError_) {
            result_ = false;
            stopped_ = true;
        } else if (save_) {
            result_ = false;
        } else {
            restoreDefault();
        }
    }

    bool Exchange(const wchar_t* key, bool& member);
    bool Exchange(const wchar_t* key, unsigned char& member);
    bool Exchange(const wchar_t* key, signed char& member);
    bool Exchange(const wchar_t* key, unsigned short& member);
    bool Exchange(const wchar_t* key, short& member);
    bool Exchange(const wchar_t* key, unsigned int& member);
    bool Exchange(const wchar_t* key, int& member);
    bool Exchange(const wchar_t* key, unsigned long& member);
    bool Exchange(const wchar_t* key, long& member);
    bool Exchange(const wchar_t* key, unsigned long long& member);
    bool Exchange(const wchar_t* key, long long& member);
    bool Exchange(const wchar_t* key, float& member);
    bool Exchange(const wchar_t* key, double& member);
    bool Exchange(const wchar_t* key, std::wstring& member);
    bool Exchange(const wchar_t* key, CSettings& member);

    CSettingsStorage& storage_;
    bool continueOnError_;
    bool save_;
    bool setDefaults_;
    bool result_ = true;
    bool stopped_ = false;
};

} // namespace Duvuzora
