// tests/window/dialogs/DialogTestSupport.h - language files, message pumping,
// message boxes and opacity targets for the dialog tests.
#pragma once

#include "support/TestSettings.h"

#include "support/Waiting.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace keywhirl::testing {

// One section of a language file and its keys (name, value).
struct SectionTexts {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> keys;
};

// A language with every text the two dialogs look up, each starting with
// the code ("AAA settings", "AAA save", ...), named languageName.
std::vector<SectionTexts> dialogTexts(const std::wstring& code, const std::wstring& languageName);

// While it lives, the program and application-data folders are a fresh
// temporary folder whose Localization folder holds the languages that a test
// adds; start() makes the localization manager with the given code stored
// in the settings. Settings and manager go when it goes.
class LanguageSetup {
public:
    LanguageSetup();
    ~LanguageSetup();
    LanguageSetup(const LanguageSetup&) = delete;
    LanguageSetup& operator=(const LanguageSetup&) = delete;

    // Writes <code>.xml, UTF-16 with the byte order mark.
    void add(const std::wstring& code, const std::vector<SectionTexts>& sections);
    void start(const std::wstring& storedCode);

private:
    TestSettings settings;
};

// An invisible window that records the opacities the settings dialog sends it.
class OpacityTarget {
public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    OpacityTarget();
    ~OpacityTarget();
    OpacityTarget(const OpacityTarget&) = delete;
    OpacityTarget& operator=(const OpacityTarget&) = delete;

    HWND handle() const { return window; }
    void destroy();
    const std::vector<Received>& received() const { return messages; }
    // The wParam of every message of this kind, in order of arrival.
    std::vector<WPARAM> values(UINT message) const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    std::vector<Received> messages;
};

// Watches, on a thread of its own, for a message box that the window owner
// opens on this thread; reads its caption and texts and presses OK. One box
// per answerer. The results may be read once finish() has returned.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(HWND owner);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Stops watching; true if a box was found and answered.
    bool finish();
    const std::wstring& caption() const { return boxCaption; }
    const std::vector<std::wstring>& texts() const { return boxTexts; }

private:
    static DWORD WINAPI watch(void* context);
    HWND findBox() const;

    HWND owner;
    DWORD ownerThread;
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    bool answered = false;
    std::wstring boxCaption;
    std::vector<std::wstring> boxTexts;
};

// Presses a dialog's button as a click on it does.
void clickButton(HWND dialog, int id);
std::wstring windowText(HWND window);
std::wstring itemText(HWND dialog, int id);
// A window's rectangle in the client coordinates of its parent.
RECT rectInParent(HWND window);

// The colour of a pixel on the screen, or CLR_INVALID.
COLORREF screenPixel(int x, int y);
// The colour of a pixel of a bitmap resource of the program.
COLORREF bitmapPixel(int bitmapId, int x, int y);

} // namespace keywhirl::testing
