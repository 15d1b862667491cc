// tests/unit/app/ShellPiecesTest.cpp - the help file's name and the logon value.
#include "app/AutorunValue.h"
#include "app/HelpLauncher.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

TEST(HelpLauncher, TheHelpIsTheProgramFileWithTheExtensionChm) {
    struct Case {
        const wchar_t* program;
        const wchar_t* help;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Keywhirl\\Keywhirl.exe",
         L"C:\\Program Files\\Keywhirl\\Keywhirl.CHM"},
        {L"C:\\Tools.v2\\Keywhirl.exe", L"C:\\Tools.v2\\Keywhirl.CHM"},
        {L"C:\\Tools.v2\\Keywhirl", L"C:\\Tools.v2\\Keywhirl.CHM"}, // a dot only in a folder
        {L"\\\\server\\share\\kw.1.exe", L"\\\\server\\share\\kw.1.CHM"},
        {L"Keywhirl.exe", L"Keywhirl.CHM"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpLauncher::helpFileOf(c.program), c.help);
}

// The Run value "Keywhirl", or "<none>".
std::wstring runValue() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                        KEY_READ, &key) != ERROR_SUCCESS)
        return L"<none>";
    wchar_t text[1024] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    LONG result = ::RegQueryValueExW(key, L"Keywhirl", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS ? text : L"<none>";
}

TEST(AutorunValue, WrittenAsTheQuotedProgramAndDeletedWhenOff) {
    const std::wstring command = AutorunValue::command();
    ASSERT_GE(command.size(), 2u);
    EXPECT_EQ(command.front(), L'"');
    EXPECT_EQ(command.back(), L'"');
    EXPECT_NE(command.find(L"unit_app.exe"), std::wstring::npos) << "the running program";

    AutorunValue::apply(true);
    EXPECT_EQ(runValue(), command);
    AutorunValue::apply(true); // again: the same value
    EXPECT_EQ(runValue(), command);
    AutorunValue::apply(false);
    EXPECT_EQ(runValue(), L"<none>");
    AutorunValue::apply(false); // nothing to delete: nothing happens
    EXPECT_EQ(runValue(), L"<none>");
}

} // namespace
} // namespace keywhirl
