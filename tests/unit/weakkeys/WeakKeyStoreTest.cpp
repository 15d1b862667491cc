// tests/unit/weakkeys/WeakKeyStoreTest.cpp - WeakKeys.ini: kept across runs, set aside when
// unreadable, never half written.
#include "weakkeys/WeakKeyStore.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

namespace keywhirl {
namespace {

using testing::TempFolder;

std::string readBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

WeakKeyRecorder::KeyCounts countsOf(unsigned presses, unsigned hesitations, float lead,
                                    bool hasLead = true) {
    WeakKeyRecorder::KeyCounts counts;
    counts.presses = presses;
    counts.hesitations = hesitations;
    counts.leadTime = lead;
    counts.hasLeadTime = hasLead;
    return counts;
}

struct Record {
    std::atomic<unsigned> wait{3000};
    WeakKeyRecorder recorder{&wait};
};

TEST(WeakKeyStore, TheRecordSurvivesASaveAndTheNextLoad) {
    TempFolder temp;
    WeakKeyStore store(temp.file(L"WeakKeys.ini"));
    Record saved;
    saved.recorder.setCounts(0x24, countsOf(120, 7, 612.4f));
    saved.recorder.setCounts(0x11C, countsOf(3, 0, 0, false)); // keypad Enter
    saved.recorder.setCounts(0x1C, countsOf(4294967295u, 4294967295u, 10000));
    ASSERT_TRUE(store.save(saved.recorder));
    EXPECT_FALSE(exists(temp.file(L"WeakKeys.ini.tmp")));

    Record loaded;
    loaded.recorder.setCounts(0x1E, countsOf(9, 9, 9)); // replaced by the file
    EXPECT_EQ(store.load(loaded.recorder), WeakKeyStore::LoadResult::Loaded);
    EXPECT_FALSE(loaded.recorder.takeChanged()) << "nothing new to save after a load";
    for (unsigned index = 0; index < WeakKeyRecorder::kKeyCount; ++index) {
        WeakKeyRecorder::KeyCounts a = saved.recorder.counts(index);
        WeakKeyRecorder::KeyCounts b = loaded.recorder.counts(index);
        EXPECT_EQ(a.presses, b.presses) << index;
        EXPECT_EQ(a.hesitations, b.hesitations) << index;
        EXPECT_EQ(a.hasLeadTime, b.hasLeadTime) << index;
        EXPECT_NEAR(a.leadTime, b.leadTime, 0.5f) << "whole milliseconds: " << index;
    }
    // Only counters go to the file.
    std::string text = readBytes(store.path());
    EXPECT_NE(text.find("key.024=120,7,612\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("key.11C=3,0,-\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("key.01E"), std::string::npos) << text;
}

TEST(WeakKeyStore, AMissingFileGivesAnEmptyRecordAndNothingSetAside) {
    TempFolder temp;
    WeakKeyStore store(temp.file(L"WeakKeys.ini"));
    Record r;
    r.recorder.setCounts(0x24, countsOf(1, 1, 1));
    EXPECT_EQ(store.load(r.recorder), WeakKeyStore::LoadResult::Missing);
    EXPECT_EQ(r.recorder.counts(0x24).presses, 0u);
    EXPECT_FALSE(exists(temp.file(L"WeakKeys.ini.bad")));
    EXPECT_EQ(WeakKeyStore(L"").load(r.recorder), WeakKeyStore::LoadResult::Missing);
    EXPECT_FALSE(WeakKeyStore(L"").save(r.recorder));
}

TEST(WeakKeyStore, AnUnreadableFileIsSetAsideAndTheRecordStartsEmpty) {
    const std::string good = "[WeakKeys]\r\nkey.024=5,1,300\r\n";
    const std::string unreadable[] = {
        "",
        "key.024=5,1,300\r\n",                      // no section
        "[Other]\r\nkey.024=5,1,300\r\n",           // another section
        "[WeakKeys]\r\nkey.024=5,1\r\n",            // a value missing
        "[WeakKeys]\r\nkey.024=5,1,300,4\r\n",      // one too many
        "[WeakKeys]\r\nkey.200=5,1,300\r\n",        // no such slot
        "[WeakKeys]\r\nkey.024=4294967296,1,3\r\n", // beyond 32 bits
        "[WeakKeys]\r\nkey.024=-5,1,300\r\n",
        "[WeakKeys]\r\nkey.024=5,1,99999\r\n", // a lead time above the break limit
        "[WeakKeys]\r\nkey.xyz=5,1,300\r\n",
        "[WeakKeys]\r\nkey.024=5,1,\r\n",
        "[WeakKeys]\r\nhello\r\n",
        good.substr(0, good.size() - 6) + std::string("\0\0\0", 3), // cut off by a crash
        std::string(300 * 1024, ';'),                               // far too big for a record
    };
    for (const std::string& bytes : unreadable) {
        TempFolder temp;
        WeakKeyStore store(temp.file(L"WeakKeys.ini"));
        writeBytes(store.path(), bytes);
        Record r;
        r.recorder.setCounts(0x1E, countsOf(2, 2, 2));
        EXPECT_EQ(store.load(r.recorder), WeakKeyStore::LoadResult::SetAside) << bytes;
        EXPECT_EQ(r.recorder.counts(0x1E).presses, 0u) << bytes;
        EXPECT_EQ(r.recorder.counts(0x24).presses, 0u) << bytes;
        EXPECT_FALSE(exists(store.path())) << bytes;
        EXPECT_EQ(readBytes(temp.file(L"WeakKeys.ini.bad")), bytes) << "kept as it was";
        // The program runs on: the next save writes a fresh file.
        r.recorder.setCounts(0x24, countsOf(1, 0, 0, false));
        EXPECT_TRUE(store.save(r.recorder));
        Record again;
        EXPECT_EQ(store.load(again.recorder), WeakKeyStore::LoadResult::Loaded);
        EXPECT_EQ(again.recorder.counts(0x24).presses, 1u);
    }
}

TEST(WeakKeyStore, CommentsBlankLinesAndLineEndsAreRead) {
    Record r;
    EXPECT_TRUE(WeakKeyStore::parse("; note\n\n[WeakKeys]\nkey.024=5,1,300\r\n\r\n", r.recorder));
    EXPECT_EQ(r.recorder.counts(0x24).hesitations, 1u);
    EXPECT_TRUE(WeakKeyStore::parse("[WeakKeys]\r\n", r.recorder)) << "an empty record";
    EXPECT_EQ(r.recorder.counts(0x24).presses, 0u);
}

TEST(WeakKeyStore, AFailedWriteLeavesTheOldFileWhole) {
    TempFolder temp;
    WeakKeyStore store(temp.file(L"WeakKeys.ini"));
    Record before;
    before.recorder.setCounts(0x24, countsOf(10, 2, 500));
    ASSERT_TRUE(store.save(before.recorder));
    const std::string old = readBytes(store.path());

    Record after;
    after.recorder.setCounts(0x1E, countsOf(99, 9, 900));
    // The temporary file cannot be made: a folder stands in its way.
    ASSERT_TRUE(::CreateDirectoryW(temp.file(L"WeakKeys.ini.tmp").c_str(), nullptr));
    EXPECT_FALSE(store.save(after.recorder));
    EXPECT_EQ(readBytes(store.path()), old);
    ASSERT_TRUE(::RemoveDirectoryW(temp.file(L"WeakKeys.ini.tmp").c_str()));

    // The target cannot be replaced: the temporary file goes, the old stays.
    ASSERT_TRUE(::CreateDirectoryW(temp.file(L"Locked").c_str(), nullptr));
    WeakKeyStore blocked(temp.file(L"Locked"));
    EXPECT_FALSE(blocked.save(after.recorder));
    EXPECT_FALSE(exists(temp.file(L"Locked.tmp")));
    EXPECT_TRUE(::GetFileAttributesW(temp.file(L"Locked").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_TRUE(store.save(after.recorder));
    EXPECT_NE(readBytes(store.path()), old);
}

TEST(WeakKeyStore, AFileHeldOpenByAnotherProgramIsNeverWrittenOver) {
    TempFolder temp;
    WeakKeyStore store(temp.file(L"WeakKeys.ini"));
    const std::string old = "[WeakKeys]\r\nkey.024=5,1,300\r\n";
    writeBytes(store.path(), old);
    HANDLE held = ::CreateFileW(store.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Record r;
    EXPECT_EQ(store.load(r.recorder), WeakKeyStore::LoadResult::Locked);
    EXPECT_EQ(r.recorder.counts(0x24).presses, 0u);
    ::CloseHandle(held);
    r.recorder.setCounts(0x1E, countsOf(1, 0, 0, false));
    EXPECT_FALSE(store.save(r.recorder));
    EXPECT_EQ(readBytes(store.path()), old);
    EXPECT_FALSE(exists(temp.file(L"WeakKeys.ini.bad")));
}

} // namespace
} // namespace keywhirl
