// tests/unit/app/AutorunValueTest.cpp - the value that starts Keywhirl at logon.
#include "app/AutorunValue.h"

#include <gtest/gtest.h>

namespace keywhirl {
namespace {

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
