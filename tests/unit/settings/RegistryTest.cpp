// tests/unit/settings/RegistryTest.cpp
#include "settings/Registry.h"

#include <gtest/gtest.h>

#include <vector>

namespace keywhirl {
namespace {

// A key of its own below HKEY_CURRENT_USER, removed with everything in it.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = L"Software\\KeywhirlTest-" + std::to_wstring(::GetCurrentProcessId());
        deleteTree();
    }
    void TearDown() override { deleteTree(); }

    void deleteTree() {
        for (const wchar_t* child : {L"\\Run", L"\\Inner\\Deeper", L"\\Inner", L""})
            ::RegDeleteKeyW(HKEY_CURRENT_USER, (base + child).c_str());
    }

    // The stored REG_SZ text and its byte count, or nothing when absent.
    bool read(const std::wstring& subkey, const std::wstring& name, std::wstring& text,
              DWORD& bytes) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        std::vector<wchar_t> buffer(1024);
        DWORD type = 0;
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        ::RegCloseKey(key);
        if (result != ERROR_SUCCESS || type != REG_SZ)
            return false;
        text = buffer.data();
        return true;
    }

    std::wstring base;
};

TEST_F(RegistryTest, PathSplitsAtTheLastBackslash) {
    registry_value value(base + L"\\Run\\Keywhirl", HKEY_CURRENT_USER);
    EXPECT_EQ(value.subkey(), base + L"\\Run");
    EXPECT_EQ(value.name(), L"Keywhirl");
    registry_value bare(L"Name", HKEY_CURRENT_USER);
    EXPECT_EQ(bare.subkey(), L"");
    EXPECT_EQ(bare.name(), L"Name");
}

TEST_F(RegistryTest, SetCreatesTheKeyAndStoresTheTextWithItsTerminator) {
    registry_string<std::wstring> run(base + L"\\Run\\Keywhirl", HKEY_CURRENT_USER);
    EXPECT_FALSE(run.exists());
    const std::wstring path = L"C:\\Program Files\\Keywhirl\\Keywhirl.exe";
    ASSERT_TRUE(run.set(path));
    EXPECT_FALSE(run.isOpen()) << "closed again after the write";
    EXPECT_TRUE(run.exists());
    EXPECT_FALSE(run.isOpen());

    std::wstring stored;
    DWORD bytes = 0;
    ASSERT_TRUE(read(base + L"\\Run", L"Keywhirl", stored, bytes));
    EXPECT_EQ(stored, path) << "no quotes around the path";
    EXPECT_EQ(bytes, (path.size() + 1) * 2);

    ASSERT_TRUE(run.set(L""));
    ASSERT_TRUE(read(base + L"\\Run", L"Keywhirl", stored, bytes));
    EXPECT_EQ(stored, L"");
    EXPECT_EQ(bytes, 2u);
}

TEST_F(RegistryTest, RemoveDeletesOnlyItsOwnValue) {
    registry_string<std::wstring> mine(base + L"\\Run\\Keywhirl", HKEY_CURRENT_USER);
    registry_string<std::wstring> other(base + L"\\Run\\Other", HKEY_CURRENT_USER);
    ASSERT_TRUE(mine.set(L"a"));
    ASSERT_TRUE(other.set(L"b"));
    EXPECT_TRUE(mine.remove());
    EXPECT_FALSE(mine.exists());
    EXPECT_TRUE(other.exists());
    EXPECT_FALSE(mine.remove()) << "nothing left to delete";
}

TEST_F(RegistryTest, MissingKeyFailsWithoutLeavingAnythingOpen) {
    registry_value missing(base + L"\\Inner\\Deeper\\Value", HKEY_CURRENT_USER);
    EXPECT_FALSE(missing.open(false));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.exists());
    EXPECT_FALSE(missing.isOpen());

    HKEY probe = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, (base + L"\\Inner").c_str(), 0, KEY_READ, &probe),
              ERROR_SUCCESS)
        << "reading creates no key";

    EXPECT_TRUE(missing.open(true)) << "writing creates the whole path";
    EXPECT_TRUE(missing.isOpen());
    missing.close();
    EXPECT_FALSE(missing.isOpen());
    missing.close(); // twice is fine
}

TEST_F(RegistryTest, ReopeningReleasesTheEarlierHandle) {
    registry_value value(base + L"\\Run\\Keywhirl", HKEY_CURRENT_USER);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(value.open(true));
    EXPECT_TRUE(value.open(false));
    value.close();
}

} // namespace
} // namespace keywhirl
