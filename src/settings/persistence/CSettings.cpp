// src/settings/persistence/CSettings.cpp
#include "settings/persistence/CSettings.h"

#include "settings/persistence/CSettingsStorage.h"

namespace Duvuzora {

void CSettings::OnBeginSave(bool) {}
void CSettings::OnEndSave(bool) {}
void CSettings::OnBeginLoad(bool) {}
void CSettings::OnEndLoad(bool) {}

bool CSettings::Load(CSettingsStorage& storage) {
    bool ok = storage.BeginLoad();
    OnBeginLoad(ok);
    if (ok)
        ok = ExchangeSettings(storage.ContinueOnError(), storage, false, false);
    // EndLoad must run whatever happened before it.
    bool ended = storage.EndLoad();
    ok = ok && ended;
    OnEndLoad(ok);
    return ok;
}

bool CSettings::Save(CSettingsStorage& storage) {
    bool ok = storage.BeginSave();
    OnBeginSave(ok);
    if (ok)
        ok = ExchangeSettings(storage.ContinueOnError(), storage, true, false);
    bool ended = storage.EndSave();
    ok = ok && ended;
    OnEndSave(ok);
    return ok;
}

} // namespace Duvuzora
