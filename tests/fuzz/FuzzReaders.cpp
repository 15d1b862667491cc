// tests/fuzz/FuzzReaders.cpp - hostile input for every reader of outside data.
//
//   fuzz_readers READER COUNT [READER COUNT...]   READER: xml, wav, ini, copydata
//
// Each reader gets COUNT inputs: mutations of the shipped files and of
// well-formed structures. The program reports, per reader, the inputs run,
// crashes, hangs (an input that takes longer than a second) and the growth
// of private memory, and ends with a nonzero code on any crash or hang. A
// crash or hang leaves its input in fuzz-crash-READER.bin or
// fuzz-hang-READER.bin in the current folder, to become a test case.
#include "input/KeyRecord.h"
#include "input/KeywhirlController.h"
#include "localization/CXmlProfile.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sound/WavParser.h"
#include "statistics/Statistics.h"
#include "support/Mutation.h"
#include "support/TestSettings.h"
#include "support/WinePaths.h"
#include "utils/CriticalSection.h"

#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace keywhirl::testing {
namespace {

constexpr DWORD kHangMs = 1000;
constexpr DWORD kGiveUpMs = 20000;

// The input under test, for the crash and hang reports. The reader's thread
// writes it; the watchdog and the crash filter read it.
struct Current {
    utils::CriticalSection lock;
    Bytes input;
    std::string reader;
    std::atomic<DWORD> startedAt{0};
    std::atomic<bool> running{false};
} current;

void saveInput(const char* kind) {
    utils::Lock guard(current.lock);
    std::string name = std::string("fuzz-") + kind + "-" + current.reader + ".bin";
    if (FILE* file = std::fopen(name.c_str(), "wb")) {
        std::fwrite(current.input.data(), 1, current.input.size(), file);
        std::fclose(file);
    }
    std::printf("%s: %s, input kept in %s\n", current.reader.c_str(), kind, name.c_str());
    std::fflush(stdout);
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* exception) {
    std::printf("exception 0x%08lX\n", exception->ExceptionRecord->ExceptionCode);
    saveInput("crash");
    ::ExitProcess(3);
}

// Notes inputs that take longer than a second; one that never ends is
// reported and ends the run.
DWORD WINAPI watchForHangs(void* hangs) {
    auto* count = static_cast<std::atomic<int>*>(hangs);
    DWORD reported = 0;
    for (;;) {
        ::Sleep(100);
        if (!current.running)
            continue;
        DWORD started = current.startedAt;
        DWORD took = ::GetTickCount() - started;
        if (took > kHangMs && reported != started) {
            reported = started;
            ++*count;
            saveInput("hang");
        }
        if (took > kGiveUpMs) {
            std::printf("%s: an input ran for %lu ms; giving up\n", current.reader.c_str(), took);
            ::ExitProcess(4);
        }
    }
}

SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine leaves PrivateUsage at 0; the commit charge is the same figure there.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

Bytes fileBytes(const std::wstring& path) {
    std::vector<char> bytes;
    readFileBytes(path, bytes);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes utf16(const std::wstring& text) {
    Bytes bytes = {0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

void writeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Inserts one of the reader's own tokens somewhere: structure that the
// byte-level changes alone would rarely make.
void insertToken(Bytes& bytes, Random& random, const std::vector<std::string>& tokens) {
    const std::string& token = tokens[random.below(tokens.size())];
    bytes.insert(bytes.begin() + random.below(bytes.size() + 1), token.begin(), token.end());
}

// Runs count inputs made from the seeds; check() looks at one input and
// returns false when a reader broke a rule of its own.
struct Reader {
    std::string name;
    std::vector<Bytes> seeds;
    std::function<void(Bytes&, Random&)> change;
    std::function<bool(const Bytes&)> check;
};

bool run(const Reader& reader, long count, std::atomic<int>& hangs) {
    {
        utils::Lock guard(current.lock);
        current.reader = reader.name;
    }
    int hangsBefore = hangs;
    long broken = 0;
    Random random(0x2545F491u);
    SIZE_T memoryBefore = 0;
    for (long i = 0; i < count; ++i) {
        Bytes input = reader.seeds[random.below(reader.seeds.size())];
        std::size_t rounds = 1 + random.below(6);
        for (std::size_t r = 0; r < rounds; ++r)
            reader.change(input, random);
        {
            utils::Lock guard(current.lock);
            current.input = input;
        }
        current.startedAt = ::GetTickCount();
        current.running = true;
        if (!reader.check(input)) {
            ++broken;
            saveInput("broken");
        }
        current.running = false;
        // Memory is measured once the reader's own caches have settled.
        if (i == count / 10)
            memoryBefore = privateBytes();
    }
    long growth = static_cast<long>(privateBytes()) - static_cast<long>(memoryBefore);
    std::printf("%-9s %9ld inputs  %ld broken rules  0 crashes  %d hangs  memory %+ld KB\n",
                reader.name.c_str(), count, broken, hangs - hangsBefore, growth / 1024);
    std::fflush(stdout);
    return broken == 0 && hangs == hangsBefore;
}

// ---- The readers ------------------------------------------------------------

Reader xmlReader(const std::wstring& scratch) {
    Reader reader{"xml", {}, {}, {}};
    for (const wchar_t* code : {L"ENU", L"RUS", L"DEU", L"FRA", L"ESP", L"UKR"}) {
        Bytes shipped = fileBytes(programOutputFolder() + L"\\Localization\\" + code + L".xml");
        if (!shipped.empty())
            reader.seeds.push_back(shipped);
    }
    reader.seeds.push_back(
        utf16(L"<content><section name=\"Locale\"><key name=\"languageName\" value=\"a &amp; "
              L"&#946; &#xD800; &#65536;\"/></section></content>"));
    reader.seeds.push_back(ascii("<content><section name=\"S\"><key name=\"k\" value=\"v\"/>"));
    const std::vector<std::string> tokens = {"<content>",
                                             "</content>",
                                             "<section name=\"",
                                             "</section>",
                                             "<key name=\"",
                                             "\" value=\"",
                                             "\"/>",
                                             "<!--",
                                             "-->",
                                             "<?xml",
                                             "?>",
                                             "&amp;",
                                             "&lt;",
                                             "&#",
                                             "&#0;",
                                             "&#55296;",
                                             "&#4294967296;",
                                             std::string("\xFF\xFE", 2),
                                             std::string("\0\xD8", 2),
                                             std::string("\x00\xDC", 2),
                                             "\"",
                                             "<",
                                             ">",
                                             "/"};
    reader.change = [tokens](Bytes& bytes, Random& random) {
        if (random.below(3) == 0)
            insertToken(bytes, random, tokens);
        else
            mutate(bytes, random, {});
    };
    std::wstring path = scratch + L"\\fuzz.xml";
    reader.check = [path](const Bytes& bytes) {
        writeFile(path, bytes);
        CXmlProfile profile;
        int loaded = profile.Load(path, static_cast<int>(bytes.size() % 3));
        if (loaded != 0 && loaded != 1)
            return false;
        std::vector<CXmlSection> sections;
        profile.GetSections(&sections);
        for (const CXmlSection& section : sections) {
            std::vector<CXmlKey> keys;
            profile.GetKeys(section.GetName(), &keys);
            for (const CXmlKey& key : keys) {
                if (key.name.empty())
                    return false;
            }
        }
        profile.GetString(L"Locale", L"languageName", L"-");
        profile.Close(false);
        return true;
    };
    return reader;
}

Reader wavReader(GuardedInput& guarded) {
    Reader reader{"wav", {}, {}, {}};
    for (const wchar_t* name : {L"Click.wav", L"Metronome.wav"}) {
        Bytes shipped = fileBytes(programOutputFolder() + L"\\Sounds\\" + name);
        if (!shipped.empty() && shipped.size() <= GuardedInput::kCapacity)
            reader.seeds.push_back(shipped);
    }
    // A minimal 16-bit mono file with four bytes of samples.
    const unsigned char minimal[] = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W', 'A', 'V', 'E',
                                     'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                                     0x22, 0x56, 0,   0,   0x44, 0xAC, 0, 0, 2,   0,   16,  0,
                                     'd',  'a',  't', 'a', 4,    0,    0, 0, 1,   2,   3,   4};
    Bytes small(std::begin(minimal), std::end(minimal));
    reader.seeds.push_back(small);
    reader.change = [](Bytes& bytes, Random& random) {
        mutate(bytes, random);
        if (bytes.size() > GuardedInput::kCapacity)
            bytes.resize(GuardedInput::kCapacity);
    };
    reader.check = [&guarded](const Bytes& bytes) {
        const unsigned char* placed = guarded.place(bytes);
        std::optional<WavLayout> layout = parseWav(placed, bytes.size());
        bool selfContained = isSelfContainedWav(placed, bytes.size());
        if (!layout)
            return !selfContained;
        if (layout->formatOffset + layout->formatSize > bytes.size() ||
            layout->dataOffset > bytes.size() ||
            layout->dataSize > bytes.size() - layout->dataOffset)
            return false;
        isPlayablePcmFormat(placed + layout->formatOffset, layout->formatSize);
        std::vector<unsigned char> format =
            makeWaveFormat(placed + layout->formatOffset, layout->formatSize);
        return format.empty() || format.size() >= 18;
    };
    return reader;
}

Reader iniReader(const std::wstring& scratch) {
    Reader reader{"ini", {}, {}, {}};
    std::wstring path = scratch + L"\\fuzz.ini";
    {
        Settings defaults(path, L"Settings"); // written whole when it goes
    }
    reader.seeds.push_back(fileBytes(path));
    reader.seeds.push_back(utf16(L"[Settings]\r\nkeyboardOpacity=0\r\nmetronomeInterval=0\r\n"));
    const std::vector<std::string> keys = {"keyboardAutoPopupping",
                                           "keyboardWaitInterval",
                                           "metronomeRunning",
                                           "metronomeInterval",
                                           "keyboardOpacity",
                                           "statisticsOpacity",
                                           "enableKeyPressSound",
                                           "showShortStatistics",
                                           "setOpaqueStatisticsOnHover",
                                           "keyboardPosX",
                                           "keyboardPosY",
                                           "keyboardIsVisible",
                                           "autoRun",
                                           "statTopRed",
                                           "statBottomBlue",
                                           "l10nLanguageCode"};
    const std::vector<std::string> values = {"0",
                                             "-1",
                                             "1",
                                             "19",
                                             "20",
                                             "255",
                                             "256",
                                             "4294967295",
                                             "4294967296",
                                             "2147483647",
                                             "2147483648",
                                             "-2147483648",
                                             "-2147483649",
                                             "99999999999999999999",
                                             "",
                                             "TRUE",
                                             "FALSE",
                                             "true",
                                             "  12",
                                             "0x10",
                                             "1e9",
                                             "-0",
                                             "\t",
                                             "=",
                                             "[",
                                             "]",
                                             ";",
                                             "\"quoted\"",
                                             std::string(300, '9'),
                                             std::string(2000, 'x'),
                                             "../../..\\..",
                                             "%s%s%n"};
    reader.change = [keys, values](Bytes& bytes, Random& random) {
        switch (random.below(3)) {
        case 0: { // a key with a value at or past a limit, as UTF-16 text
            std::string line = "\r\n" + keys[random.below(keys.size())] + "=" +
                               values[random.below(values.size())] + "\r\n";
            Bytes wide;
            for (unsigned char c : line) {
                wide.push_back(c);
                wide.push_back(0);
            }
            std::size_t at = 2 + random.below(bytes.size() > 2 ? bytes.size() - 1 : 1);
            at -= at % 2;
            if (at > bytes.size())
                at = bytes.size();
            bytes.insert(bytes.begin() + at, wide.begin(), wide.end());
            break;
        }
        case 1: { // random text of random characters
            std::size_t at = random.below(bytes.size() + 1);
            std::size_t length = random.below(40);
            for (std::size_t i = 0; i < length; ++i)
                bytes.insert(bytes.begin() + at, static_cast<unsigned char>(random.next()));
            break;
        }
        default:
            mutate(bytes, random, {"[Set", "TRUE", "=\r\n\0"});
        }
    };
    reader.check = [path](const Bytes& bytes) {
        writeFile(path, bytes);
        Settings settings(L"", L"Settings");
        Duvuzora::CSettingsStorageIniFile storage(path.c_str(), L"Settings");
        settings.Load(storage);
        return settings.keyboardOpacity >= Settings::MinimumOpacity &&
               settings.statisticsOpacity >= Settings::MinimumOpacity &&
               settings.metronomeInterval != 0;
    };
    return reader;
}

// The dispatcher's side of WM_COPYDATA, with the six monitors behind it.
class CountingKeyboard : public Keyboard {
public:
    void handleKey(const KeyInfoWrapper&) override { ++events; }
    void check() override {}
    DWORD millisecondsLeft() const override { return INFINITE; }
    void onLayoutChanged(HKL) override {}
    void createWindow(HWND) override {}
    void closeWindow() override {}
    bool isWindowVisible() override { return false; }
    void showWindow() override {}
    void hideWindow() override {}
    std::atomic<long> events{0};
};

class FuzzedController : public KeywhirlController {
public:
    explicit FuzzedController(Keyboard& keyboard) : KeywhirlController(nullptr, keyboard) {}
};

struct CopyDataTarget {
    CountingKeyboard keyboard;
    Statistics statistics;
    FuzzedController controller{keyboard};
    CopyDataTarget() {
        for (Monitor* monitor : statistics.getMonitors())
            controller.addKeyHandler(monitor);
        controller.start();
    }
    ~CopyDataTarget() {
        for (Monitor* monitor : statistics.getMonitors())
            controller.removeKeyHandler(monitor);
    }
};

Reader copyDataReader(CopyDataTarget& target, GuardedInput& guarded) {
    Reader reader{"copydata", {}, {}, {}};
    KeyRecord record{};
    record.keyboardLayout = ::GetKeyboardLayout(0);
    record.virtualKey = 'A';
    record.keyData = 1;
    Bytes recordBytes(sizeof record + 4, 0);
    recordBytes[0] = 1; // dwData in the first four bytes, then the payload
    std::memcpy(recordBytes.data() + 4, &record, sizeof record);
    reader.seeds.push_back(recordBytes);
    Bytes layoutBytes(8, 0);
    layoutBytes[0] = 2;
    HKL layout = ::GetKeyboardLayout(0);
    std::memcpy(layoutBytes.data() + 4, &layout, sizeof layout);
    reader.seeds.push_back(layoutBytes);
    reader.change = [](Bytes& bytes, Random& random) {
        mutate(bytes, random, {});
        if (bytes.size() < 4)
            bytes.resize(4, 0);
        if (random.below(4) == 0)
            bytes[0] = static_cast<unsigned char>(random.below(4)); // the two kinds, and others
    };
    long sent = 0;
    reader.check = [&target, &guarded, sent](const Bytes& bytes) mutable {
        COPYDATASTRUCT data{};
        std::memcpy(&data.dwData, bytes.data(), 4);
        const unsigned char* payload = guarded.place(Bytes(bytes.begin() + 4, bytes.end()));
        data.cbData = static_cast<DWORD>(bytes.size() - 4);
        data.lpData = data.cbData ? const_cast<unsigned char*>(payload) : nullptr;
        target.controller.receive(data);
        // Full speed, but the queue may not grow without end: let the
        // dispatcher catch up now and then.
        if (++sent % 2000 == 0) {
            while (!target.controller.isSuspended())
                ::Sleep(1);
        }
        return true;
    };
    return reader;
}

} // namespace
} // namespace keywhirl::testing

int main(int argc, char** argv) {
    using namespace keywhirl::testing;
    if (argc < 3 || argc % 2 != 1) {
        std::fprintf(stderr, "usage: fuzz_readers xml|wav|ini|copydata COUNT [...]\n");
        return 2;
    }
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(onCrash);
    std::atomic<int> hangs{0};
    ::CloseHandle(::CreateThread(nullptr, 0, watchForHangs, &hangs, 0, nullptr));

    TestSettings settings;
    GuardedInput guarded;
    if (!guarded.ready())
        return 2;
    bool clean = true;
    for (int i = 1; i < argc; i += 2) {
        std::string which = argv[i];
        long count = std::strtol(argv[i + 1], nullptr, 10);
        if (which == "xml") {
            clean &= run(xmlReader(settings.folder().path()), count, hangs);
        } else if (which == "wav") {
            clean &= run(wavReader(guarded), count, hangs);
        } else if (which == "ini") {
            clean &= run(iniReader(settings.folder().path()), count, hangs);
        } else if (which == "copydata") {
            CopyDataTarget target;
            clean &= run(copyDataReader(target, guarded), count, hangs);
            target.controller.stopAndWait();
        } else {
            std::fprintf(stderr, "no reader called %s\n", which.c_str());
            return 2;
        }
    }
    return clean ? 0 : 1;
}
