// tests/window/dialogs/DialogTestSupport.cpp
#include "DialogTestSupport.h"

#include "localization/LocalizationManager.h"
#include "settings/Settings.h"
#include "utils/Handles.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace keywhirl::testing {

namespace {

// Under Wine without a window manager, hiding a managed window (one with a
// caption, such as a message box) waits two seconds for a manager that never
// answers. This program's windows go unmanaged, as they are on a bare X
// display anyway; the setting is read when the display driver starts, which
// is at the first window, so it is written before any.
void leaveWindowsUnmanagedUnderWine() {
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr)
        return;
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const wchar_t* name = std::wcsrchr(program, L'\\');
    const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") +
                             (name != nullptr ? name + 1 : program) + L"\\X11 Driver";
    HKEY opened = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &opened, nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t no[] = L"N";
    ::RegSetValueExW(opened, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof(no));
    ::RegCloseKey(opened);
}

// Trackbars need their class registered before a template names it.
const bool displayReady = [] {
    leaveWindowsUnmanagedUnderWine();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
}();

const wchar_t kTargetClass[] = L"KeywhirlTestOpacityTarget";

std::wstring escapeXml(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::vector<SectionTexts> dialogTexts(const std::wstring& code, const std::wstring& languageName) {
    const auto texts = [&](std::initializer_list<const wchar_t*> keys) {
        std::vector<std::pair<std::wstring, std::wstring>> pairs;
        for (const wchar_t* key : keys)
            pairs.emplace_back(key, code + L" " + key);
        return pairs;
    };
    return {
        {L"Locale", {{L"languageName", languageName}}},
        {L"SettingsDialog",
         texts({L"title", L"keyboardAutoPopupInterval", L"metronomeFrequency", L"keyboardOpacity",
                L"statisticsOpacity", L"setOpaqueStatisticsOnHover", L"save", L"cancel",
                L"interfaceLanguage", L"speedUnit", L"speedUnit.symbols", L"speedUnit.words",
                L"keyboardFollowsTyping"})},
        {L"Messages", texts({L"Error.enterPositiveNumber"})},
        {L"AboutDialog",
         texts({L"productVersion", L"programmer", L"ideaCreator", L"designer", L"webPage"})},
    };
}

LanguageSetup::LanguageSetup() {
    LocalizationManager::destroyInstance();
    const std::wstring folder = settings.folder().path() + L"\\Localization";
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

LanguageSetup::~LanguageSetup() {
    LocalizationManager::destroyInstance();
}

void LanguageSetup::add(const std::wstring& code, const std::vector<SectionTexts>& sections) {
    std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<content>\r\n";
    for (const SectionTexts& section : sections) {
        text += L"\t<section name=\"" + escapeXml(section.name) + L"\">\r\n";
        for (const auto& [key, value] : section.keys)
            text += L"\t\t<key name=\"" + escapeXml(key) + L"\" value=\"" + escapeXml(value) +
                    L"\"/>\r\n";
        text += L"\t</section>\r\n";
    }
    text += L"</content>\r\n";
    const std::wstring path = settings.folder().path() + L"\\Localization\\" + code + L".xml";
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        return;
    // wchar_t is UTF-16 little-endian here, as the file wants it.
    std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
    std::fclose(file);
}

void LanguageSetup::start(const std::wstring& storedCode) {
    Settings::instance()->l10nLanguageCode = storedCode;
    LocalizationManager::reload();
}

OpacityTarget::OpacityTarget() {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &OpacityTarget::windowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kTargetClass;
        return ::RegisterClassExW(&windowClass);
    }();
    (void)registered;
    window = ::CreateWindowExW(0, kTargetClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), this);
}

OpacityTarget::~OpacityTarget() {
    destroy();
}

void OpacityTarget::destroy() {
    if (window != nullptr)
        ::DestroyWindow(window);
    window = nullptr;
}

std::vector<WPARAM> OpacityTarget::values(UINT message) const {
    std::vector<WPARAM> found;
    for (const Received& received : messages) {
        if (received.message == message)
            found.push_back(received.wParam);
    }
    return found;
}

LRESULT CALLBACK OpacityTarget::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<OpacityTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_USER && message < WM_APP) {
        self->messages.push_back({message, wParam, lParam});
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

MessageBoxAnswerer::MessageBoxAnswerer(HWND owner)
    : owner(owner), ownerThread(::GetWindowThreadProcessId(owner, nullptr)) {
    thread = ::CreateThread(nullptr, 0, &MessageBoxAnswerer::watch, this, 0, nullptr);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    finish();
}

bool MessageBoxAnswerer::finish() {
    if (thread != nullptr) {
        ::InterlockedExchange(&stop, 1);
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
        thread = nullptr;
    }
    return answered;
}

namespace {

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK checkForBox(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && ::GetWindow(window, GW_OWNER) == search->owner &&
        ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectStaticText(HWND child, LPARAM texts) {
    wchar_t className[16] = {};
    ::GetClassNameW(child, className, 16);
    const std::wstring text = windowText(child);
    if (_wcsicmp(className, L"Static") == 0 && !text.empty())
        reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

} // namespace

HWND MessageBoxAnswerer::findBox() const {
    BoxSearch search{owner, nullptr};
    ::EnumThreadWindows(ownerThread, &checkForBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD WINAPI MessageBoxAnswerer::watch(void* context) {
    auto* self = static_cast<MessageBoxAnswerer*>(context);
    // Gives up after a while, so that a test that shows no box ends.
    const DWORD start = ::GetTickCount();
    while (::InterlockedCompareExchange(&self->stop, 0, 0) == 0 &&
           ::GetTickCount() - start < 10000) {
        const HWND box = self->findBox();
        if (box == nullptr) {
            ::Sleep(10);
            continue;
        }
        self->boxCaption = windowText(box);
        ::EnumChildWindows(box, &collectStaticText, reinterpret_cast<LPARAM>(&self->boxTexts));
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        self->answered = true;
        return 0;
    }
    return 0;
}

void clickButton(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

std::wstring windowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

std::wstring itemText(HWND dialog, int id) {
    return windowText(::GetDlgItem(dialog, id));
}

RECT rectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF screenPixel(int x, int y) {
    utils::WindowDc screen(nullptr);
    return ::GetPixel(screen.get(), x, y);
}

COLORREF bitmapPixel(int bitmapId, int x, int y) {
    utils::UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc)
        return CLR_INVALID;
    utils::SelectedObject selected(dc.get(), bitmap.get());
    return ::GetPixel(dc.get(), x, y);
}

} // namespace keywhirl::testing
