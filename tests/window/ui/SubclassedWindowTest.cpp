// tests/window/ui/SubclassedWindowTest.cpp
#include "ui/SubclassedWindow.h"

#include "ui/Dialog.h"
#include "utils/Handles.h"

#include "DialogTemplate.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace keywhirl::ui {
namespace {

using testing::DialogTemplate;

constexpr int kButtonId = 1006;
constexpr int kLabelId = 1000;
constexpr UINT kAsk = WM_USER + 5;

class Host : public Dialog {
public:
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> handler;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return handler && handler(message, wParam, lParam, result);
    }
    // No focus, so the window is never active: Wine hands an active window
    // to a window manager and then waits seconds for one when it is hidden.
    bool onInitDialog() override { return false; }
};

// A dialog with an owner-drawn button and a static text, as the keyboard
// and about windows have.
struct HostWindow {
    HostWindow() {
        shape.add(DialogTemplate::kButton, kButtonId, BS_OWNERDRAW, 5, 5, 12, 10, L"")
            .add(DialogTemplate::kStatic, kLabelId, SS_LEFT, 5, 20, 60, 10, L"link");
        created = host.createModelessIndirect(shape.get(), nullptr);
        button = host.getItem(kButtonId);
        label = host.getItem(kLabelId);
    }
    DialogTemplate shape{WS_POPUP, 100, 40, L"Host"};
    Host host;
    bool created = false;
    HWND button = nullptr;
    HWND label = nullptr;
};

class Recorder : public SubclassedWindow {
public:
    std::vector<UINT> messages;
    std::vector<UINT> reflected;
    int finals = 0;
    int callsAfterFinal = 0;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> handler;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> reflectedHandler;

    using SubclassedWindow::callPrevious;

    bool onReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        noteCall();
        reflected.push_back(message);
        return reflectedHandler && reflectedHandler(message, wParam, lParam, result);
    }

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        noteCall();
        messages.push_back(message);
        if (message == kAsk) {
            result = 77;
            return true;
        }
        return handler && handler(message, wParam, lParam, result);
    }
    void onFinalMessage() override {
        noteCall();
        ++finals;
    }

private:
    void noteCall() {
        if (finals > 0)
            ++callsAfterFinal;
    }
};

using keywhirl::testing::pumpMessages;

LONG_PTR procedureOf(HWND window) {
    return ::GetWindowLongPtrW(window, GWLP_WNDPROC);
}

bool saw(const std::vector<UINT>& messages, UINT message) {
    for (UINT seen : messages)
        if (seen == message)
            return true;
    return false;
}

TEST(SubclassedWindow, RoutesMessagesAndRestoresTheOldProcedure) {
    HostWindow window;
    ASSERT_TRUE(window.created);
    const LONG_PTR original = procedureOf(window.button);

    Recorder button;
    ASSERT_TRUE(button.subclassItem(window.host, kButtonId));
    EXPECT_EQ(button.handle(), window.button);
    EXPECT_EQ(SubclassedWindow::fromHandle(window.button), &button);
    EXPECT_NE(procedureOf(window.button), original);

    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 77);
    // What the object leaves alone still reaches the button's own procedure.
    EXPECT_TRUE(button.setText(L"x"));
    EXPECT_EQ(button.getText(), L"x");
    EXPECT_TRUE(saw(button.messages, WM_SETTEXT));

    button.unsubclass();
    EXPECT_FALSE(button.isSubclassed());
    EXPECT_EQ(procedureOf(window.button), original);
    EXPECT_EQ(SubclassedWindow::fromHandle(window.button), nullptr);
    const size_t seen = button.messages.size();
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 0);
    EXPECT_EQ(button.messages.size(), seen);

    ASSERT_TRUE(button.subclass(window.button)) << "an unbound object binds again";
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 77);
}

TEST(SubclassedWindow, ObjectGoingFirstRestoresTheProcedure) {
    HostWindow window;
    const LONG_PTR original = procedureOf(window.button);
    {
        Recorder button;
        ASSERT_TRUE(button.subclass(window.button));
    }
    EXPECT_EQ(procedureOf(window.button), original);
    EXPECT_EQ(SubclassedWindow::fromHandle(window.button), nullptr);
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 0);
}

TEST(SubclassedWindow, HandlersMayActAfterThePreviousProcedure) {
    HostWindow window;
    Recorder label;
    ASSERT_TRUE(label.subclass(window.label));
    label.handler = [&label](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_SETTEXT)
            return false;
        const std::wstring text = L"<" + std::wstring(reinterpret_cast<const wchar_t*>(lParam));
        result = label.callPrevious(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    };
    EXPECT_TRUE(label.setText(L"site"));
    EXPECT_EQ(label.getText(), L"<site");
}

TEST(SubclassedWindow, RefusesWhatItCannotBind) {
    HostWindow window;
    Recorder first;
    Recorder second;
    EXPECT_FALSE(first.subclass(nullptr));
    EXPECT_FALSE(first.subclassItem(window.host, 4242));
    ASSERT_TRUE(first.subclass(window.button));
    EXPECT_FALSE(second.subclass(window.button)) << "one object per window";
    EXPECT_FALSE(first.subclass(window.label)) << "one window per object";
    EXPECT_FALSE(first.subclass(::GetDesktopWindow())) << "not a window of this process";
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 77);
    EXPECT_TRUE(second.messages.empty());
}

TEST(SubclassedWindow, BindingEndsWithTheWindow) {
    Recorder button;
    HWND handle = nullptr;
    {
        HostWindow window;
        ASSERT_TRUE(button.subclass(window.button));
        handle = window.button;
    } // the dialog and its controls are destroyed here
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_EQ(button.finals, 1);
    EXPECT_FALSE(button.isSubclassed());
    EXPECT_TRUE(saw(button.messages, WM_DESTROY));
    EXPECT_FALSE(saw(button.messages, WM_NCDESTROY));
    button.unsubclass(); // nothing left to undo
    EXPECT_EQ(button.callsAfterFinal, 0);
}

// A procedure installed over ours by someone else, which forwards to the one
// it replaced.
WNDPROC laterPrevious = nullptr;
int laterCalls = 0;
LRESULT CALLBACK laterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++laterCalls;
    return ::CallWindowProcW(laterPrevious, window, message, wParam, lParam);
}

TEST(SubclassedWindow, UnbindingUnderAnotherProcedureKeepsTheChainWhole) {
    HostWindow window;
    Recorder first;
    ASSERT_TRUE(first.subclass(window.button));
    laterPrevious = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window.button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&laterProcedure)));
    laterCalls = 0;

    first.unsubclass();
    EXPECT_EQ(procedureOf(window.button), reinterpret_cast<LONG_PTR>(&laterProcedure))
        << "the later procedure is not cut off";
    EXPECT_TRUE(::SetWindowTextW(window.button, L"still"));
    EXPECT_EQ(Window(window.button).getText(), L"still") << "the button's own procedure still runs";
    EXPECT_GT(laterCalls, 0);
    const size_t seen = first.messages.size();
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 0);
    EXPECT_EQ(first.messages.size(), seen) << "the unbound object hears nothing";

    // A new object takes the link that was left in the chain.
    Recorder second;
    ASSERT_TRUE(second.subclass(window.button));
    EXPECT_EQ(procedureOf(window.button), reinterpret_cast<LONG_PTR>(&laterProcedure));
    EXPECT_EQ(::SendMessageW(window.button, kAsk, 0, 0), 77);
    EXPECT_TRUE(first.messages.size() == seen);
}

TEST(SubclassedWindow, ExceptionFallsBackToThePreviousProcedure) {
    HostWindow window;
    Recorder label;
    ASSERT_TRUE(label.subclass(window.label));
    label.handler = [](UINT message, WPARAM, LPARAM, LRESULT&) -> bool {
        if (message == WM_SETTEXT)
            throw std::runtime_error("handler");
        return false;
    };
    EXPECT_TRUE(label.setText(L"kept"));
    EXPECT_EQ(label.getText(), L"kept");
    EXPECT_TRUE(label.isSubclassed());
}

TEST(SubclassedWindow, OwnerDrawReachesTheControlThroughItsDialog) {
    HostWindow window;
    Recorder button;
    ASSERT_TRUE(button.subclass(window.button));
    int drawn = 0;
    button.reflectedHandler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_DRAWITEM)
            return false;
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->hwndItem == window.button)
            ++drawn;
        result = TRUE;
        return true;
    };

    // A real paint: the button asks its parent, which offers it back.
    window.host.show(SW_SHOWNA);
    pumpMessages();
    EXPECT_GE(drawn, 1);
    window.host.show(SW_HIDE);
    pumpMessages();
    drawn = 0;

    // What the button sends its parent when it must be drawn.
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = kButtonId;
    item.hwndItem = window.button;
    item.itemAction = ODA_DRAWENTIRE;
    EXPECT_EQ(window.host.send(WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(drawn, 1);

    // For a menu item the field holds a menu, even one whose value happens
    // to be a bound control's: nothing is offered.
    item.CtlType = ODT_MENU;
    window.host.send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(drawn, 1);
    EXPECT_FALSE(saw(button.messages, WM_DRAWITEM)) << "offered, not sent to the control";
}

TEST(SubclassedWindow, ControlColourFollowsTheDialogsAnswer) {
    HostWindow window;
    const HBRUSH dialogBrush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    const HBRUSH linkBrush = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    window.host.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLORSTATIC)
            return false;
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        result = reinterpret_cast<LRESULT>(dialogBrush);
        return true;
    };
    Recorder link;
    ASSERT_TRUE(link.subclass(window.label));
    bool replace = false;
    LRESULT answerSeen = -1;
    link.reflectedHandler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLORSTATIC)
            return false;
        answerSeen = result;
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        if (replace)
            result = reinterpret_cast<LRESULT>(linkBrush);
        return replace;
    };

    utils::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const LRESULT kept = window.host.send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                          reinterpret_cast<LPARAM>(window.label));
    EXPECT_EQ(kept, reinterpret_cast<LRESULT>(dialogBrush)) << "the link kept the dialog's brush";
    EXPECT_EQ(answerSeen, reinterpret_cast<LRESULT>(dialogBrush));
    EXPECT_EQ(::GetTextColor(dc.get()), RGB(0, 0, 255));
    EXPECT_EQ(::GetBkMode(dc.get()), TRANSPARENT);

    replace = true;
    EXPECT_EQ(window.host.send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                               reinterpret_cast<LPARAM>(window.label)),
              reinterpret_cast<LRESULT>(linkBrush));

    // A control without an object of its own gets the dialog's answer only.
    link.unsubclass();
    EXPECT_EQ(window.host.send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                               reinterpret_cast<LPARAM>(window.label)),
              reinterpret_cast<LRESULT>(dialogBrush));
}

} // namespace
} // namespace keywhirl::ui
