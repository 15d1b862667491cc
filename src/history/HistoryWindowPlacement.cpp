// src/history/HistoryWindowPlacement.cpp
#include "history/HistoryWindowPlacement.h"

#include "settings/FileReplacement.h"
#include "settings/Paths.h"

#include <cwchar>

namespace keywhirl {

namespace {

bool readNumber(const std::wstring& path, const wchar_t* key, long& value) {
    wchar_t text[32] = {};
    ::GetPrivateProfileStringW(HistoryWindowPlacement::kSection, key, L"", text, 32, path.c_str());
    wchar_t* end = nullptr;
    value = std::wcstol(text, &end, 10);
    return end != text && *end == L'\0';
}

} // namespace

std::wstring HistoryWindowPlacement::iniPath() {
    return getSettingsFile();
}

bool HistoryWindowPlacement::load(RECT& rect, bool& maximized) {
    const std::wstring path = iniPath();
    long left, top, width, height, zoomed = 0;
    if (path.empty() || !readNumber(path, L"left", left) || !readNumber(path, L"top", top) ||
        !readNumber(path, L"width", width) || !readNumber(path, L"height", height))
        return false;
    if (width <= 0 || height <= 0 || width > 30000 || height > 30000)
        return false;
    readNumber(path, L"maximized", zoomed);
    rect = {left, top, left + width, top + height};
    maximized = zoomed != 0;
    return true;
}

bool HistoryWindowPlacement::save(const RECT& rect, bool maximized) {
    const std::wstring path = iniPath();
    if (path.empty())
        return false;
    FileReplacement file(path);
    if (!file.beginFromCopy())
        return false;
    const std::wstring values[][2] = {
        {L"left", std::to_wstring(rect.left)},
        {L"top", std::to_wstring(rect.top)},
        {L"width", std::to_wstring(rect.right - rect.left)},
        {L"height", std::to_wstring(rect.bottom - rect.top)},
        {L"maximized", maximized ? L"1" : L"0"},
    };
    for (const auto& value : values) {
        if (!::WritePrivateProfileStringW(kSection, value[0].c_str(), value[1].c_str(),
                                          file.temporaryPath().c_str())) {
            file.discard();
            return false;
        }
    }
    return file.commit();
}

} // namespace keywhirl
