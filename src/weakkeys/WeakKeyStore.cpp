// src/weakkeys/WeakKeyStore.cpp
#include "weakkeys/WeakKeyStore.h"

#include "settings/FileReplacement.h"
#include "settings/Paths.h"
#include "settings/SetAside.h"
#include "settings/TextLines.h"

#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace keywhirl {

namespace {

const char kSection[] = "[WeakKeys]";
const char kKeyPrefix[] = "key.";
// A record of 512 keys is far below this; anything bigger is not ours.
constexpr std::size_t kLargestFile = 256 * 1024;

bool sameIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) !=
                                    std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return i == text.size();
}

bool parseNumber(const std::string& text, int base, unsigned long long limit,
                 unsigned long long& value) {
    if (text.empty() || text.size() > 12)
        return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)) ||
            (base == 10 && !std::isdigit(static_cast<unsigned char>(c))))
            return false;
    value = std::strtoull(text.c_str(), nullptr, base);
    return value <= limit;
}

struct Entry {
    unsigned index = 0;
    WeakKeyRecorder::KeyCounts counts;
};

// One "key.XXX=presses,hesitations,lead" line; false when it is not one.
bool parseKeyLine(const std::string& line, Entry& entry) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string name = trimmed(line.substr(0, equals));
    const std::size_t prefix = sizeof kKeyPrefix - 1;
    if (name.size() <= prefix || !sameIgnoringCase(name.substr(0, prefix), kKeyPrefix))
        return false;
    const std::vector<std::string> values = splitFields(line.substr(equals + 1), ',');
    unsigned long long index = 0, presses = 0, hesitations = 0, lead = 0;
    if (values.size() != 3 ||
        !parseNumber(name.substr(prefix), 16, WeakKeyRecorder::kKeyCount - 1, index) ||
        !parseNumber(values[0], 10, 0xFFFFFFFFu, presses) ||
        !parseNumber(values[1], 10, 0xFFFFFFFFu, hesitations))
        return false;
    entry = Entry{};
    entry.index = static_cast<unsigned>(index);
    entry.counts.presses = static_cast<unsigned>(presses);
    entry.counts.hesitations = static_cast<unsigned>(hesitations);
    if (values[2] != "-") {
        if (!parseNumber(values[2], 10, WeakKeyRecorder::kBreakLimit, lead))
            return false;
        entry.counts.hasLeadTime = true;
        entry.counts.leadTime = static_cast<float>(lead);
    }
    return true;
}

} // namespace

WeakKeyStore::WeakKeyStore(std::wstring path) : file(std::move(path)) {}

std::wstring WeakKeyStore::defaultPath() {
    return getWeakKeysFile();
}

std::string WeakKeyStore::format(const WeakKeyRecorder& recorder,
                                 const std::vector<std::string>& unreadLines) {
    std::string text = "; Keywhirl: for each physical key, how often it was pressed, how often\r\n"
                       "; it ended a hesitation, and its usual lead time in milliseconds.\r\n"
                       "; Counters only: no characters, no order of keys.\r\n";
    text += kSection;
    text += "\r\n";
    for (unsigned index = 0; index < WeakKeyRecorder::kKeyCount; ++index) {
        WeakKeyRecorder::KeyCounts counts = recorder.counts(index);
        if (counts.presses == 0 && counts.hesitations == 0 && !counts.hasLeadTime)
            continue;
        char line[80];
        if (counts.hasLeadTime)
            std::snprintf(line, sizeof line, "%s%03X=%u,%u,%lu\r\n", kKeyPrefix, index,
                          counts.presses, counts.hesitations,
                          static_cast<unsigned long>(std::lround(counts.leadTime)));
        else
            std::snprintf(line, sizeof line, "%s%03X=%u,%u,-\r\n", kKeyPrefix, index,
                          counts.presses, counts.hesitations);
        text += line;
    }
    for (const std::string& line : unreadLines)
        text += line + "\r\n";
    return text;
}

bool WeakKeyStore::parse(const std::string& text, WeakKeyRecorder& recorder,
                         std::vector<std::string>* unreadLines) {
    std::vector<Entry> entries;
    std::vector<std::string> unreadHere;
    std::set<unsigned> seen;
    bool sectionSeen = false;
    bool inSection = false;
    bool anyText = false;
    for (const std::string& original : splitLines(textAsUtf8(text))) {
        const std::string line = trimmed(original);
        if (line.empty())
            continue;
        anyText = true;
        if (line[0] == ';')
            continue; // the file's own comments are written anew
        if (line[0] == '[') {
            inSection = sameIgnoringCase(line, kSection);
            sectionSeen = sectionSeen || inSection;
            if (!inSection)
                unreadHere.push_back(original);
            continue;
        }
        Entry entry;
        if (!inSection || !parseKeyLine(line, entry) || !seen.insert(entry.index).second) {
            unreadHere.push_back(original);
            continue;
        }
        entries.push_back(entry);
    }
    // Text with lines but no section of ours is some other file.
    if (anyText && !sectionSeen)
        return false;
    recorder.clear();
    for (const Entry& entry : entries)
        recorder.setCounts(entry.index, entry.counts);
    if (unreadLines)
        unreadLines->swap(unreadHere);
    return true;
}

WeakKeyStore::LoadResult WeakKeyStore::load(WeakKeyRecorder& recorder) const {
    LoadResult result = LoadResult::Loaded;
    unread.clear();
    if (file.empty()) {
        result = LoadResult::Missing;
    } else {
        // Left by a crash during a save: the file itself is whole.
        FileReplacement(file).discard();
        std::vector<char> bytes;
        const int error = readFileBytes(file, bytes, kLargestFile);
        if (error == ENOENT)
            result = LoadResult::Missing;
        else if (error != 0 || !parse(std::string(bytes.begin(), bytes.end()), recorder, &unread))
            result = LoadResult::SetAside;
    }
    if (result == LoadResult::SetAside) {
        // Kept for the user to look at, and out of the way of the next save.
        if (!setAside(file, L".bad")) {
            result = LoadResult::Locked;
            keepOff = true;
        }
    }
    if (result != LoadResult::Loaded)
        recorder.clear();
    recorder.takeChanged();
    return result;
}

bool WeakKeyStore::save(const WeakKeyRecorder& recorder) const {
    if (file.empty() || keepOff)
        return false;
    FileReplacement replacement(file);
    return replacement.writeTemporary(format(recorder, unread)) && replacement.commit();
}

} // namespace keywhirl
