// src/settings/persistence/CSettings.h - base of every object whose members persist.
#pragma once

namespace Duvuzora {

class CSettingsStorage;

// A subclass lists its entries once, in ExchangeSettings; that one list serves
// loading, saving and resetting to defaults (see CSettingsEntryTable).
class CSettings {
public:
    CSettings() = default;
    virtual ~CSettings() = default;
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // Hooks around a save or load; ok is the storage's begin result, or the
    // overall result at the end. They do nothing here.
    virtual void OnBeginSave(bool ok);
    virtual void OnEndSave(bool ok);
    virtual void OnBeginLoad(bool ok);
    virtual void OnEndLoad(bool ok);

    // Runs over every entry: save = true writes the members to the storage,
    // false reads them; setDefaults assigns the defaults and touches no storage.
    virtual bool ExchangeSettings(bool continueOnError, CSettingsStorage& storage, bool save,
                                  bool setDefaults) = 0;

    // The storage's end operation runs even when the exchange failed.
    virtual bool Load(CSettingsStorage& storage);
    virtual bool Save(CSettingsStorage& storage);
};

} // namespace Duvuzora
