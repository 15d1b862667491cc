// tests/unit/settings/EntryTableTest.cpp
#include "settings/persistence/CSettings.h"
#include "settings/persistence/CSettingsEntryTable.h"
#include "settings/persistence/CSettingsStorageIniFile.h"

#include "IniFileTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace Duvuzora {
namespace {

using keywhirl::testing::iniKeys;
using keywhirl::testing::iniValue;
using keywhirl::testing::writeIniText;

using Log = std::vector<std::wstring>;

// An INI storage that logs every call and fails the keys it is told to.
class ScriptedStorage : public CSettingsStorageIniFile {
public:
    ScriptedStorage(const std::wstring& path, Log& log)
        : CSettingsStorageIniFile(path.c_str(), L"Settings"), log_(log) {}

    bool ContinueOnError() override { return continueOnError; }
    bool BeginLoad() override { return hook(L"BeginLoad", beginResult); }
    bool EndLoad() override { return hook(L"EndLoad", endResult); }
    bool BeginSave() override { return hook(L"BeginSave", beginResult); }
    bool EndSave() override { return hook(L"EndSave", endResult); }
    bool ExchangeInt(const wchar_t* name, int& value, bool save) override {
        return allowed(name) && CSettingsStorageIniFile::ExchangeInt(name, value, save);
    }
    bool ExchangeUInt(const wchar_t* name, unsigned& value, bool save) override {
        return allowed(name) && CSettingsStorageIniFile::ExchangeUInt(name, value, save);
    }
    bool ExchangeBool(const wchar_t* name, bool& value, bool save) override {
        return allowed(name) && CSettingsStorageIniFile::ExchangeBool(name, value, save);
    }
    bool ExchangeDouble(const wchar_t* name, double& value, bool save) override {
        return allowed(name) && CSettingsStorageIniFile::ExchangeDouble(name, value, save);
    }
    bool ExchangeString(const wchar_t* name, std::wstring& value, bool save) override {
        return allowed(name) && CSettingsStorageIniFile::ExchangeString(name, value, save);
    }

    bool continueOnError = true;
    bool beginResult = true;
    bool endResult = true;
    std::set<std::wstring> failing;

private:
    bool hook(const wchar_t* what, bool result) {
        log_.push_back(what);
        return result;
    }
    bool allowed(const wchar_t* name) {
        log_.push_back(name);
        return failing.count(name) == 0;
    }

    Log& log_;
};

class Sample : public CSettings {
public:
    explicit Sample(Log* log = nullptr) : log_(log) {}

    bool ExchangeSettings(bool continueOnError, CSettingsStorage& storage, bool save,
                          bool setDefaults) override {
        CSettingsEntryTable table(continueOnError, storage, save, setDefaults);
        table.Entry(L"width", width, 640);
        table.Entry(L"visible", visible, true);
        table.Entry(L"alpha", alpha, 200u);
        table.Entry(L"title", title);
        table.Entry(L"scale", scale, 1.5);
        return table.Result();
    }
    void OnBeginLoad(bool ok) override { note(L"OnBeginLoad", ok); }
    void OnEndLoad(bool ok) override { note(L"OnEndLoad", ok); }
    void OnBeginSave(bool ok) override { note(L"OnBeginSave", ok); }
    void OnEndSave(bool ok) override { note(L"OnEndSave", ok); }

    int width = 1;
    bool visible = false;
    unsigned alpha = 2;
    std::wstring title = L"untitled";
    double scale = 3;

private:
    void note(const wchar_t* what, bool ok) {
        if (log_)
            log_->push_back(std::wstring(what) + (ok ? L"(true)" : L"(false)"));
    }
    Log* log_;
};

class EntryTable : public ::testing::Test {
protected:
    std::wstring file() const { return temp.file(L"sample.ini"); }

    keywhirl::testing::TempFolder temp;
    Log log;
    ScriptedStorage storage{file(), log};
};

TEST_F(EntryTable, LoadingAMissingFileGivesDefaultsAndSucceeds) {
    Sample sample(&log);
    EXPECT_TRUE(sample.Load(storage));
    EXPECT_EQ(sample.width, 640);
    EXPECT_TRUE(sample.visible);
    EXPECT_EQ(sample.alpha, 200u);
    EXPECT_EQ(sample.title, L"untitled") << "an entry without a default stays as it is";
    EXPECT_DOUBLE_EQ(sample.scale, 1.5);
    EXPECT_EQ(log, (Log{L"BeginLoad", L"OnBeginLoad(true)", L"width", L"visible", L"alpha",
                        L"title", L"scale", L"EndLoad", L"OnEndLoad(true)"}));
}

TEST_F(EntryTable, SavingWritesEveryKeyInTableOrder) {
    Sample sample;
    sample.width = -5;
    sample.title = L"Zeta";
    ASSERT_TRUE(sample.Save(storage));
    EXPECT_EQ(iniKeys(file(), L"Settings"),
              (std::vector<std::wstring>{L"width", L"visible", L"alpha", L"title", L"scale"}));
    EXPECT_EQ(iniValue(file(), L"Settings", L"width"), L"-5");
    EXPECT_EQ(iniValue(file(), L"Settings", L"visible"), L"FALSE");
    EXPECT_EQ(iniValue(file(), L"Settings", L"scale"), L"3.000000");

    Sample loaded;
    loaded.title.clear();
    ASSERT_TRUE(loaded.Load(storage));
    EXPECT_EQ(loaded.width, -5);
    EXPECT_FALSE(loaded.visible);
    EXPECT_EQ(loaded.alpha, 2u);
    EXPECT_EQ(loaded.title, L"Zeta");
    EXPECT_DOUBLE_EQ(loaded.scale, 3);
}

TEST_F(EntryTable, SettingDefaultsTouchesNoStorage) {
    Sample sample;
    sample.title = L"kept";
    EXPECT_TRUE(sample.ExchangeSettings(false, storage, false, true));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(sample.width, 640);
    EXPECT_TRUE(sample.visible);
    EXPECT_EQ(sample.alpha, 200u);
    EXPECT_EQ(sample.title, L"kept");
    EXPECT_FALSE(keywhirl::testing::fileExists(file()));
}

TEST_F(EntryTable, UnreadableValuesTakeTheirDefaultsWhenGoingOn) {
    writeIniText(file(), L"[Settings]\r\nwidth=wide\r\nvisible=FALSE\r\nalpha=\r\n"
                         L"title=Named\r\nscale=2.5\r\n");
    storage.failing = {L"visible"};
    Sample sample;
    EXPECT_TRUE(sample.Load(storage));
    EXPECT_EQ(sample.width, 640);
    EXPECT_TRUE(sample.visible) << "a failed read gives the default";
    EXPECT_EQ(sample.alpha, 200u) << "an empty number is missing";
    EXPECT_EQ(sample.title, L"Named");
    EXPECT_DOUBLE_EQ(sample.scale, 2.5);
}

TEST_F(EntryTable, WithoutContinuingTheFirstFailureEndsTheRun) {
    writeIniText(file(), L"[Settings]\r\nwidth=10\r\nvisible=TRUE\r\nalpha=20\r\n"
                         L"title=Named\r\nscale=2.5\r\n");
    storage.continueOnError = false;
    storage.failing = {L"alpha"};
    Sample sample(&log);
    EXPECT_FALSE(sample.Load(storage));
    EXPECT_EQ(sample.width, 10);
    EXPECT_TRUE(sample.visible);
    EXPECT_EQ(sample.alpha, 2u) << "not given its default";
    EXPECT_EQ(sample.title, L"untitled") << "later entries are not touched";
    EXPECT_DOUBLE_EQ(sample.scale, 3);
    EXPECT_EQ(log, (Log{L"BeginLoad", L"OnBeginLoad(true)", L"width", L"visible", L"alpha",
                        L"EndLoad", L"OnEndLoad(false)"}));

    log.clear();
    EXPECT_FALSE(sample.Save(storage));
    EXPECT_EQ(log, (Log{L"BeginSave", L"OnBeginSave(true)", L"width", L"visible", L"alpha",
                        L"EndSave", L"OnEndSave(false)"}));
}

TEST_F(EntryTable, AFailedSaveKeyStillLetsTheOthersBeWritten) {
    storage.failing = {L"visible", L"title"};
    Sample sample;
    sample.width = 77;
    EXPECT_FALSE(sample.Save(storage));
    EXPECT_EQ(iniKeys(file(), L"Settings"),
              (std::vector<std::wstring>{L"width", L"alpha", L"scale"}));
    EXPECT_EQ(iniValue(file(), L"Settings", L"width"), L"77");
}

TEST_F(EntryTable, EndRunsAfterAFailedBeginAndDecidesTheResult) {
    storage.beginResult = false;
    Sample sample(&log);
    EXPECT_FALSE(sample.Load(storage));
    EXPECT_EQ(log, (Log{L"BeginLoad", L"OnBeginLoad(false)", L"EndLoad", L"OnEndLoad(false)"}));
    EXPECT_EQ(sample.width, 1) << "no entry was exchanged";

    storage.beginResult = true;
    storage.endResult = false;
    log.clear();
    EXPECT_FALSE(sample.Save(storage));
    EXPECT_EQ(log.back(), L"OnEndSave(false)");
    EXPECT_EQ(iniValue(file(), L"Settings", L"width"), L"1") << "the keys were written";
}

// A settings object that holds others, for the object and list operations.
class Point : public CSettings {
public:
    bool ExchangeSettings(bool continueOnError, CSettingsStorage& storage, bool save,
                          bool setDefaults) override {
        CSettingsEntryTable table(continueOnError, storage, save, setDefaults);
        table.Entry(L"x", x, 0);
        table.Entry(L"y", y, 0);
        return table.Result();
    }
    int x = -1;
    int y = -1;
};

class Shape : public CSettings {
public:
    bool ExchangeSettings(bool continueOnError, CSettingsStorage& storage, bool save,
                          bool setDefaults) override {
        CSettingsEntryTable table(continueOnError, storage, save, setDefaults);
        table.Entry(L"name", name);
        table.Entry(L"origin", origin);
        return table.Result();
    }
    std::wstring name;
    Point origin;
};

TEST_F(EntryTable, NestedObjectsGetASectionOfTheirOwn) {
    Shape shape;
    shape.name = L"box";
    shape.origin.x = 3;
    shape.origin.y = -4;
    ASSERT_TRUE(storage.ExchangeObject(L"Shape", shape, true));
    EXPECT_EQ(iniValue(file(), L"Settings.Shape", L"name"), L"box");
    EXPECT_EQ(iniValue(file(), L"Settings.Shape.origin", L"x"), L"3");

    Shape loaded;
    ASSERT_TRUE(storage.ExchangeObject(L"Shape", loaded, false));
    EXPECT_EQ(loaded.name, L"box");
    EXPECT_EQ(loaded.origin.x, 3);
    EXPECT_EQ(loaded.origin.y, -4);
}

TEST_F(EntryTable, ObjectListsKeepACountAndOneSectionPerItem) {
    std::vector<Point> points(3);
    for (int i = 0; i < 3; ++i) {
        points[i].x = i * 10;
        points[i].y = -i;
    }
    unsigned long count = 3;
    ASSERT_TRUE(storage.BeginObjectList(L"Points", count, true));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(storage.ExchangeListObject(i, points[i], true), 1);
    EXPECT_TRUE(storage.EndObjectList(true));
    EXPECT_EQ(iniValue(file(), L"Settings.Points", L"Count"), L"3");
    EXPECT_EQ(iniValue(file(), L"Settings.Points.2", L"x"), L"20");

    unsigned long loadedCount = 0;
    ASSERT_TRUE(storage.BeginObjectList(L"Points", loadedCount, false));
    ASSERT_EQ(loadedCount, 3u);
    std::vector<Point> loaded(loadedCount);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(storage.ExchangeListObject(i, loaded[i], false), 1);
    EXPECT_TRUE(storage.EndObjectList(false));
    EXPECT_EQ(loaded[1].x, 10);
    EXPECT_EQ(loaded[2].y, -2);
}

TEST_F(EntryTable, ListOperationsNeedAnOpenList) {
    Point point;
    EXPECT_EQ(storage.ExchangeListObject(0, point, true), 0);
    EXPECT_FALSE(storage.EndObjectList(true));
    EXPECT_FALSE(storage.EndValueList(true));
    EXPECT_EQ(storage.GetListStorage(), nullptr);

    unsigned long invalid = 0xFFFFFFFFul;
    EXPECT_FALSE(storage.BeginObjectList(L"Bad", invalid, true));
    EXPECT_EQ(storage.GetListStorage(), nullptr) << "a refused list is not left open";

    unsigned long count = 1;
    ASSERT_TRUE(storage.BeginObjectList(L"First", count, true));
    EXPECT_FALSE(storage.BeginValueList(L"Second", count, true)) << "one list at a time";
    EXPECT_TRUE(storage.EndObjectList(true));
    EXPECT_EQ(iniValue(file(), L"Settings.Second", L"Count"), L"<missing>");

    // Loading a list that is not there: the object list stays open for its
    // end, the value list is closed at once.
    unsigned long missingCount = 5;
    EXPECT_FALSE(storage.BeginObjectList(L"Nowhere", missingCount, false));
    EXPECT_EQ(missingCount, 5u);
    EXPECT_NE(storage.GetListStorage(), nullptr);
    EXPECT_TRUE(storage.EndObjectList(false));
    EXPECT_FALSE(storage.BeginValueList(L"Nowhere", missingCount, false));
    EXPECT_EQ(storage.GetListStorage(), nullptr);
}

TEST_F(EntryTable, ValueListsNameTheirItemsItemDotIndex) {
    const std::vector<std::wstring> words = {L"alpha", L"", L"gamma delta"};
    unsigned long count = static_cast<unsigned long>(words.size());
    ASSERT_TRUE(storage.BeginValueList(L"Words", count, true));
    CSettingsStorage* list = storage.GetListStorage();
    ASSERT_NE(list, nullptr);
    for (size_t i = 0; i < words.size(); ++i) {
        const wchar_t* name = nullptr;
        ASSERT_TRUE(storage.GetListItemName(static_cast<int>(i), nullptr, name));
        std::wstring word = words[i];
        EXPECT_TRUE(list->ExchangeString(name, word, true));
    }
    EXPECT_TRUE(storage.EndValueList(true));
    EXPECT_EQ(iniKeys(file(), L"Settings.Words"),
              (std::vector<std::wstring>{L"Count", L"Item.0", L"Item.1", L"Item.2"}));

    unsigned long loadedCount = 0;
    ASSERT_TRUE(storage.BeginValueList(L"Words", loadedCount, false));
    ASSERT_EQ(loadedCount, 3u);
    for (unsigned long i = 0; i < loadedCount; ++i) {
        const wchar_t* name = nullptr;
        storage.GetListItemName(static_cast<int>(i), nullptr, name);
        std::wstring word = L"?";
        EXPECT_TRUE(storage.GetListStorage()->ExchangeString(name, word, false));
        EXPECT_EQ(word, words[i]);
    }
    EXPECT_TRUE(storage.EndValueList(false));

    const wchar_t* first = nullptr;
    const wchar_t* second = nullptr;
    storage.GetListItemName(-1, nullptr, first);
    EXPECT_STREQ(first, L"Item.-1");
    storage.GetListItemName(2147483647, nullptr, second);
    EXPECT_STREQ(second, L"Item.2147483647") << "fits the 16-character buffer";
    EXPECT_EQ(first, second) << "one buffer, reused by the next call";
}

} // namespace
} // namespace Duvuzora
