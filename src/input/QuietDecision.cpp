// src/input/QuietDecision.cpp
#include "input/QuietDecision.h"

#include <cwctype>

namespace keywhirl {

namespace {

std::wstring trimmedLower(const std::wstring& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    std::wstring result = text.substr(begin, end - begin);
    for (wchar_t& c : result)
        c = static_cast<wchar_t>(std::towlower(c));
    return result;
}

bool isEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

} // namespace

bool coversMonitor(const DesktopFacts& facts) {
    if (facts.shellWindow || facts.framedMaximized || isEmpty(facts.monitor) ||
        isEmpty(facts.foreground))
        return false;
    return facts.foreground.left <= facts.monitor.left &&
           facts.foreground.top <= facts.monitor.top &&
           facts.foreground.right >= facts.monitor.right &&
           facts.foreground.bottom >= facts.monitor.bottom;
}

bool isPasswordField(const std::wstring& windowClass, LONG style) {
    if ((style & ES_PASSWORD) == 0)
        return false;
    // The system's "Edit", its rich relatives ("RichEdit20W", "RICHEDIT50W")
    // and the controls of frameworks built on it ("WindowsForms10.EDIT...",
    // "TEdit"); for other classes the bit means something else.
    return trimmedLower(windowClass).find(L"edit") != std::wstring::npos;
}

bool isProgramIgnored(const std::wstring& program, const std::vector<std::wstring>& ignored) {
    const std::wstring name = trimmedLower(program);
    if (name.empty())
        return false;
    for (const std::wstring& entry : ignored) {
        if (trimmedLower(entry) == name)
            return true;
    }
    return false;
}

std::wstring programFileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

QuietLevel decideQuiet(const DesktopFacts& facts) {
    if (facts.paused)
        return QuietLevel::NotCounted;
    if (facts.ignoredPrograms && isProgramIgnored(facts.program, *facts.ignoredPrograms))
        return QuietLevel::NotCounted;
    if (isPasswordField(facts.focusedClass, facts.focusedStyle))
        return QuietLevel::NotCounted;
    switch (facts.notificationState) {
    case kNotificationBusy:
    case kNotificationFullScreenDirect3D:
    case kNotificationPresentation:
        return QuietLevel::Quiet;
    default:
        break;
    }
    return coversMonitor(facts) ? QuietLevel::Quiet : QuietLevel::Normal;
}

} // namespace keywhirl
