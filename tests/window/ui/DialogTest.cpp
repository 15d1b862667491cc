// tests/window/ui/DialogTest.cpp
#include "ui/Dialog.h"

#include "DialogTemplate.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace keywhirl::ui {
namespace {

using testing::DialogTemplate;

constexpr int kMainTemplate = 102;
constexpr int kButtonId = 1001;
constexpr UINT kEndWith = WM_APP + 1;

using keywhirl::testing::pumpMessages;

// A dialog with OK, Cancel and one more button, as the settings dialog has.
DialogTemplate buttonsTemplate(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU) {
    DialogTemplate dialog(style, 120, 60, L"Buttons");
    dialog.add(DialogTemplate::kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 5, 40, 30, 14, L"OK")
        .add(DialogTemplate::kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 40, 40, 30, 14,
             L"Cancel")
        .add(DialogTemplate::kButton, kButtonId, BS_PUSHBUTTON | WS_TABSTOP, 75, 40, 30, 14,
             L"More");
    return dialog;
}

// Records what reaches it and fails loudly on a call after its final message.
class Probe : public Dialog {
public:
    struct Command {
        int id;
        int code;
        HWND control;
    };

    std::vector<UINT> messages;
    std::vector<Command> commands;
    int inits = 0;
    int oks = 0;
    int cancels = 0;
    int destroys = 0;
    int finals = 0;
    int callsAfterFinal = 0;
    bool keepOpen = false;
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> extra;
    std::function<void()> atInit;
    std::function<void()> atFinal;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        noteCall();
        messages.push_back(message);
        if (message == kEndWith) {
            endDialog(static_cast<INT_PTR>(wParam));
            return true;
        }
        return extra && extra(message, wParam, lParam, result);
    }
    bool onInitDialog() override {
        noteCall();
        ++inits;
        if (atInit)
            atInit();
        return true;
    }
    bool onCommand(int id, int code, HWND control) override {
        noteCall();
        commands.push_back({id, code, control});
        return true;
    }
    void onOk() override {
        noteCall();
        ++oks;
        if (!keepOpen)
            Dialog::onOk();
    }
    void onCancel() override {
        noteCall();
        ++cancels;
        if (!keepOpen)
            Dialog::onCancel();
    }
    void onDestroy() override {
        noteCall();
        ++destroys;
    }
    void onFinalMessage() override {
        noteCall();
        ++finals;
        if (atFinal)
            atFinal();
    }

private:
    void noteCall() {
        if (finals > 0)
            ++callsAfterFinal;
    }
};

// Presses a key on one of the dialog's controls as the dialog manager sees
// it in a message loop. (Real focus would need the window activated, which
// costs seconds on a display without a window manager.)
bool pressKey(HWND dialog, HWND control, WPARAM key) {
    MSG message{};
    message.hwnd = control;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    const bool taken = ::IsDialogMessageW(dialog, &message) != FALSE;
    pumpMessages();
    return taken;
}

TEST(Dialog, ModelessDialogIsBoundFromInitialisationToItsFinalMessage) {
    Probe dialog;
    ASSERT_TRUE(dialog.createModeless(kMainTemplate, nullptr));
    const HWND window = dialog;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Dialog::fromHandle(window), &dialog);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.getText(), L"Keywhirl");
    EXPECT_FALSE(dialog.isVisible()) << "template 102 is created hidden";
    ASSERT_FALSE(dialog.messages.empty());
    EXPECT_EQ(dialog.messages.front(), static_cast<UINT>(WM_INITDIALOG))
        << "WM_SETFONT and the like come before the binding and are not offered";

    EXPECT_FALSE(dialog.createModeless(kMainTemplate, nullptr)) << "already bound";

    ASSERT_TRUE(dialog.destroy());
    EXPECT_EQ(dialog.destroys, 1);
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(dialog.callsAfterFinal, 0);

    ASSERT_TRUE(dialog.createModeless(kMainTemplate, nullptr)) << "an unbound object starts again";
    EXPECT_EQ(dialog.inits, 2);
    dialog.destroy();
}

TEST(Dialog, FromHandleKnowsOnlyItsOwnDialogs) {
    EXPECT_EQ(Dialog::fromHandle(nullptr), nullptr);

    // A dialog with a procedure of its own that keeps a value in DWLP_USER.
    struct Foreign {
        static INT_PTR CALLBACK proc(HWND window, UINT message, WPARAM, LPARAM) {
            if (message == WM_INITDIALOG)
                ::SetWindowLongPtrW(window, DWLP_USER, 0x1234);
            return message == WM_INITDIALOG;
        }
    };
    const DLGPROC foreignProc = &Foreign::proc;
    const HWND foreign = ::CreateDialogParamW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kMainTemplate), nullptr, foreignProc, 0);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(Dialog::fromHandle(foreign), nullptr);
    ::DestroyWindow(foreign);
}

TEST(Dialog, CommandsReachTheHandlerByIdAndOkCancelOnlyOnClicks) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr));
    const HWND more = dialog.getItem(kButtonId);
    ASSERT_NE(more, nullptr);

    // A real click on a button.
    ::SendMessageW(more, BM_CLICK, 0, 0);
    ASSERT_EQ(dialog.commands.size(), 1u);
    EXPECT_EQ(dialog.commands[0].id, kButtonId);
    EXPECT_EQ(dialog.commands[0].code, BN_CLICKED);
    EXPECT_EQ(dialog.commands[0].control, more);

    // A menu item, as the tray menu sends it.
    dialog.send(WM_COMMAND, MAKEWPARAM(32772, 0), 0);
    ASSERT_EQ(dialog.commands.size(), 2u);
    EXPECT_EQ(dialog.commands[1].id, 32772);
    EXPECT_EQ(dialog.commands[1].control, nullptr);

    // A notification other than a click from the control with id 1 is a command.
    dialog.send(WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), reinterpret_cast<LPARAM>(more));
    EXPECT_EQ(dialog.oks, 0);
    ASSERT_EQ(dialog.commands.size(), 3u);
    EXPECT_EQ(dialog.commands[2].code, BN_SETFOCUS);

    // An accelerator for Cancel (code 1, no control) is Cancel.
    dialog.keepOpen = true;
    dialog.send(WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
    EXPECT_EQ(dialog.cancels, 1);
    EXPECT_EQ(dialog.commands.size(), 3u);
    dialog.destroy();
}

TEST(Dialog, ReplacedOkAndCancelKeepTheWindowOpenOnEnterEscapeAndClose) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    dialog.keepOpen = true;
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr));
    const HWND more = dialog.getItem(kButtonId);

    EXPECT_TRUE(pressKey(dialog, more, VK_ESCAPE));
    EXPECT_EQ(dialog.cancels, 1);
    EXPECT_TRUE(pressKey(dialog, dialog, VK_RETURN));
    EXPECT_EQ(dialog.oks, 1) << "Enter clicks the default button, OK";
    // Alt+F4 and the close box arrive as WM_CLOSE, which becomes Cancel.
    dialog.send(WM_CLOSE);
    pumpMessages();
    EXPECT_EQ(dialog.cancels, 2);
    EXPECT_TRUE(dialog.exists());
    EXPECT_EQ(dialog.destroys, 0);
    dialog.destroy();
}

TEST(Dialog, DefaultCancelDestroysAModelessDialog) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr));
    const HWND window = dialog;
    pressKey(dialog, dialog.getItem(kButtonId), VK_ESCAPE);
    EXPECT_EQ(dialog.cancels, 1);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_EQ(dialog.handle(), nullptr);
}

TEST(Dialog, ModalDialogEndsWithItsResult) {
    Probe dialog;
    dialog.atInit = [&dialog] {
        EXPECT_TRUE(dialog.isModal());
        dialog.post(kEndWith, 42);
    };
    EXPECT_EQ(dialog.runModal(kMainTemplate, nullptr), 42);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.destroys, 1);
    EXPECT_EQ(dialog.finals, 1) << "the window is gone when the modal run returns";
    EXPECT_EQ(dialog.handle(), nullptr);

    // OK and Cancel end a modal dialog with their ids; clicks come as the
    // modal loop delivers them.
    const DialogTemplate shape = buttonsTemplate();
    Probe buttons;
    buttons.atInit = [&buttons] { ::PostMessageW(buttons.getItem(IDCANCEL), BM_CLICK, 0, 0); };
    EXPECT_EQ(buttons.runModalIndirect(shape.get(), nullptr), IDCANCEL);
    Probe okButtons;
    okButtons.atInit = [&okButtons] { ::PostMessageW(okButtons.getItem(IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(okButtons.runModalIndirect(shape.get(), nullptr), IDOK);
    EXPECT_EQ(okButtons.oks, 1);
}

TEST(Dialog, ModalDialogEndedDuringInitialisationIsNeverShown) {
    Probe dialog;
    bool everVisible = false;
    dialog.extra = [&](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_SHOWWINDOW && wParam != 0)
            everVisible = true;
        return false;
    };
    dialog.atInit = [&dialog] { dialog.endDialog(7); };
    EXPECT_EQ(dialog.runModal(kMainTemplate, nullptr), 7);
    EXPECT_FALSE(everVisible);
}

TEST(Dialog, ExceptionsInHandlersStayInsideTheWindow) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    dialog.atInit = [] { throw std::runtime_error("init"); };
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr))
        << "a failed initialisation still leaves a window";
    EXPECT_EQ(Dialog::fromHandle(dialog), &dialog);

    dialog.extra = [](UINT message, WPARAM, LPARAM, LRESULT& result) -> bool {
        if (message == WM_USER + 7) {
            result = 99;
            throw 5;
        }
        return false;
    };
    EXPECT_EQ(dialog.send(WM_USER + 7), 0) << "the message falls back to default processing";
    EXPECT_TRUE(dialog.exists());

    dialog.atFinal = [] { throw std::logic_error("final"); };
    dialog.extra = nullptr;
    EXPECT_TRUE(dialog.destroy());
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_EQ(dialog.handle(), nullptr);
}

TEST(Dialog, AnswersGoWhereTheDialogManagerLooksForThem) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr));
    const HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    const HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    dialog.extra = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        switch (message) {
        case WM_CTLCOLORSTATIC:
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon);
            return true;
        case WM_COPYDATA:
            result = TRUE;
            return true;
        case WM_USER + 1:
            // A nested message with an answer of its own must not replace ours.
            EXPECT_EQ(dialog.send(WM_USER + 2), 222);
            result = 111;
            return true;
        case WM_USER + 2:
            result = 222;
            return true;
        default:
            return false;
        }
    };
    EXPECT_EQ(dialog.send(WM_CTLCOLORSTATIC, 0, 0), reinterpret_cast<LRESULT>(brush));
    EXPECT_EQ(dialog.send(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(icon));
    COPYDATASTRUCT data{1, 0, nullptr};
    EXPECT_EQ(dialog.send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    EXPECT_EQ(dialog.send(WM_USER + 1), 111);
    EXPECT_EQ(dialog.send(WM_USER + 3), 0) << "unhandled";
    dialog.destroy();
}

TEST(Dialog, NothingReachesTheObjectAfterItsFinalMessage) {
    Probe owner;
    ASSERT_TRUE(owner.createModeless(kMainTemplate, nullptr));
    Probe dialog;
    ASSERT_TRUE(dialog.createModeless(kMainTemplate, owner));
    const HWND window = dialog;
    ::PostMessageW(window, WM_USER + 9, 0, 0);

    // The owned window goes with its owner, before it.
    ASSERT_TRUE(owner.destroy());
    EXPECT_EQ(dialog.destroys, 1);
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_FALSE(::IsWindow(window));
    pumpMessages(); // the posted message finds no window and no object
    dialog.send(WM_USER + 10);
    EXPECT_EQ(dialog.callsAfterFinal, 0);
    EXPECT_EQ(owner.callsAfterFinal, 0);
    EXPECT_EQ(dialog.handle(), nullptr);
}

TEST(Dialog, AnObjectMayDeleteItselfAtItsFinalMessage) {
    auto* dialog = new Probe;
    bool deleted = false;
    dialog->atFinal = [&] {
        deleted = true;
        delete dialog;
    };
    ASSERT_TRUE(dialog->createModeless(kMainTemplate, nullptr));
    const HWND window = *dialog;
    // Closing from inside a handler: the object goes while its own handler
    // is still on the stack.
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(window));
    pumpMessages();
}

TEST(Dialog, DeletingABoundObjectDestroysItsWindowWithoutCallingIt) {
    int destroysSeen = 0;
    HWND window = nullptr;
    {
        Probe dialog;
        dialog.extra = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message == WM_DESTROY)
                ++destroysSeen;
            return false;
        };
        ASSERT_TRUE(dialog.createModeless(kMainTemplate, nullptr));
        window = dialog;
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(destroysSeen, 0) << "the derived part was already gone";
}

TEST(Dialog, WindowHelpersActOnTheBoundWindow) {
    const DialogTemplate shape = buttonsTemplate();
    Probe dialog;
    ASSERT_TRUE(dialog.createModelessIndirect(shape.get(), nullptr));
    EXPECT_TRUE(dialog.setItemText(kButtonId, L"Less"));
    EXPECT_EQ(dialog.getItemText(kButtonId), L"Less");
    EXPECT_EQ(dialog.getItemText(4242), L"");

    EXPECT_TRUE(dialog.move(30, 40, 200, 100));
    RECT rect{};
    ASSERT_TRUE(dialog.getRect(rect));
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right - rect.left, 200);

    Window button(dialog.getItem(kButtonId));
    ASSERT_TRUE(button.setPosition(nullptr, 11, 13, 20, 10, SWP_NOZORDER));
    RECT inParent{};
    ASSERT_TRUE(button.getRectInParent(inParent));
    EXPECT_EQ(inParent.left, 11);
    EXPECT_EQ(inParent.top, 13);
    EXPECT_EQ(inParent.right, 31);
    EXPECT_EQ(button.parent(), dialog.handle());
    RECT popup{};
    ASSERT_TRUE(dialog.getRectInParent(popup));
    EXPECT_EQ(popup.left, 30) << "a pop-up stays in screen coordinates";

    // Shown and hidden on a control: hiding an active top-level window makes
    // Wine wait two seconds for a window manager that Xvfb does not have.
    EXPECT_FALSE(button.isVisible()) << "its dialog is hidden";
    EXPECT_TRUE(button.show(SW_HIDE)) << "was shown, inside a hidden dialog";
    EXPECT_FALSE(button.show(SW_SHOWNA));

    EXPECT_TRUE(dialog.setTimer(2, 10));
    ::Sleep(30);
    pumpMessages();
    EXPECT_TRUE(dialog.killTimer(2));
    EXPECT_NE(std::find(dialog.messages.begin(), dialog.messages.end(), UINT{WM_TIMER}),
              dialog.messages.end());

    Window copy = dialog;
    EXPECT_EQ(copy.handle(), dialog.handle());
    EXPECT_EQ(copy.detach(), dialog.handle());
    EXPECT_EQ(copy.handle(), nullptr);
    EXPECT_TRUE(dialog.exists()) << "a Window never owns its window";
    dialog.destroy();
    EXPECT_FALSE(Window(nullptr).exists());
}

} // namespace
} // namespace keywhirl::ui
