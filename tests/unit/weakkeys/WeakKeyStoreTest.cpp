// tests/unit/weakkeys/WeakKeyStoreTest.cpp - WeakKeys.ini: kept across runs, set aside when
// unreadable, never half written.
#include "weakkeys/WeakKeyStore.h"

#include "WeakKeyEvents.h"
#include "support/FailingWriter.h"
#include "support/TempFolder.h"
#include "support/TextBytes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
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

using testing::utf16Bytes;

// Only what is no record at all is set aside; each set-aside file is kept,
// the newest as .bad, the older ones numbered, never written over.
TEST(WeakKeyStore, AFileThatIsNoRecordIsSetAsideAndNeverOverwritten) {
    const std::string notRecords[] = {
        "key.024=5,1,300\r\n",                                          // no section
        "[Other]\r\nkey.024=5,1,300\r\n",                               // another section
        utf16Bytes("[Other]\r\n", false), std::string(300 * 1024, ';'), // far too big for a record
    };
    TempFolder temp;
    WeakKeyStore store(temp.file(L"WeakKeys.ini"));
    for (size_t i = 0; i < std::size(notRecords); ++i) {
        const std::string& bytes = notRecords[i];
        writeBytes(store.path(), bytes);
        Record r;
        r.recorder.setCounts(0x1E, countsOf(2, 2, 2));
        EXPECT_EQ(store.load(r.recorder), WeakKeyStore::LoadResult::SetAside) << i;
        EXPECT_EQ(r.recorder.counts(0x1E).presses, 0u) << i;
        EXPECT_FALSE(exists(store.path())) << i;
        for (size_t older = 0; older <= i; ++older)
            EXPECT_EQ(
                readBytes(temp.file(older == 0 ? L"WeakKeys.ini.bad"
                                               : L"WeakKeys.ini.bad." + std::to_wstring(older))),
                notRecords[i - older])
                << "set aside " << older << " loads ago";
        // The program runs on: the next save writes a fresh file.
        r.recorder.setCounts(0x24, countsOf(1, 0, 0, false));
        EXPECT_TRUE(store.save(r.recorder));
        Record again;
        EXPECT_EQ(store.load(again.recorder), WeakKeyStore::LoadResult::Loaded);
        EXPECT_EQ(again.recorder.counts(0x24).presses, 1u);
    }
}

// Files as editors, spreadsheets, crashes and people leave them: every
// readable count survives a load and a save, and a line that cannot be read
// stays in the file.
TEST(WeakKeyStore, HostileFilesKeepEveryCountAndEveryLine) {
    const std::string good = "[WeakKeys]\r\nkey.024=5,1,300\r\n";
    const struct {
        const char* name;
        std::string bytes;
        unsigned presses; // of key 024
        const char* keptLine;
    } cases[] = {
        {"CR only", "[WeakKeys]\rkey.024=5,1,300\r", 5, nullptr},
        {"LF only", "[WeakKeys]\nkey.024=5,1,300", 5, nullptr},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + good, 5, nullptr},
        {"UTF-16", utf16Bytes(good, false), 5, nullptr},
        {"UTF-16 big endian", utf16Bytes(good, true), 5, nullptr},
        {"case and spaces", "  [weakkeys] \r\n KEY.02a = 7 , 1 , 300 \r\nkey.024 =5, 1,-\r\n", 5,
         nullptr},
        {"empty file", "", 0, nullptr},
        {"largest counts", "[WeakKeys]\r\nkey.024=4294967295,4294967295,10000\r\n", 4294967295u,
         nullptr},
        {"a value missing", good + "key.01E=5,1\r\n", 5, "key.01E=5,1"},
        {"one too many", good + "key.01E=5,1,300,4\r\n", 5, "key.01E=5,1,300,4"},
        {"no such slot", good + "key.200=5,1,300\r\n", 5, "key.200=5,1,300"},
        {"beyond 32 bits", good + "key.01E=4294967296,1,3\r\n", 5, "key.01E=4294967296,1,3"},
        {"negative", good + "key.01E=-5,1,300\r\n", 5, "key.01E=-5,1,300"},
        {"lead above the break", good + "key.01E=5,1,99999\r\n", 5, "key.01E=5,1,99999"},
        {"not hex", good + "key.xyz=5,1,300\r\n", 5, "key.xyz=5,1,300"},
        {"a second line for a key", good + "key.024=9,9,9\r\n", 5, "key.024=9,9,9"},
        {"a stray word", "[WeakKeys]\r\nhello\r\nkey.024=5,1,300\r\n", 5, "hello"},
        {"cut off by a crash", good + std::string("key.01E=5,1\0\0", 13), 5,
         nullptr /* the NULs are kept with the line */},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        WeakKeyStore store(temp.file(L"WeakKeys.ini"));
        writeBytes(store.path(), c.bytes);
        Record r;
        ASSERT_EQ(store.load(r.recorder), WeakKeyStore::LoadResult::Loaded);
        EXPECT_EQ(r.recorder.counts(0x24).presses, c.presses);
        EXPECT_FALSE(exists(temp.file(L"WeakKeys.ini.bad")));
        r.recorder.handleKey(testing::keyA()); // a press, and a change to save
        ASSERT_TRUE(store.save(r.recorder));
        const std::string saved = readBytes(store.path());
        if (c.keptLine) {
            EXPECT_NE(saved.find(std::string(c.keptLine) + "\r\n"), std::string::npos) << saved;
        }
        Record again;
        ASSERT_EQ(store.load(again.recorder), WeakKeyStore::LoadResult::Loaded);
        EXPECT_EQ(again.recorder.counts(0x24).presses, c.presses);
        EXPECT_EQ(again.recorder.counts(0x1E).presses, 1u);
        // A count at its largest stays there.
        again.recorder.handleKey(testing::keyJ());
        EXPECT_EQ(again.recorder.counts(0x24).presses,
                  c.presses == 4294967295u ? c.presses : c.presses + 1);
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

    // A disk that fills up half way, saying so or not.
    for (auto kind : {testing::FailingWriter::Honest, testing::FailingWriter::Lying}) {
        testing::FailingWriter full(kind, DWORD(old.size() / 2));
        EXPECT_FALSE(store.save(after.recorder));
        EXPECT_EQ(readBytes(store.path()), old);
        EXPECT_FALSE(exists(temp.file(L"WeakKeys.ini.tmp")));
    }

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
