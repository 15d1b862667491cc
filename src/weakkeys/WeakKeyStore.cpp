// src/weakkeys/WeakKeyStore.cpp
#include "weakkeys/WeakKeyStore.h"

#include "settings/FileReplacement.h"
#include "settings/Paths.h"
#include "ui/Handles.h"

#include <windows.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace keywhirl {

namespace {

const char kSection[] = "[WeakKeys]";
const char kKeyPrefix[] = "key.";
// A record of 512 keys is far below this; anything bigger is not ours.
constexpr DWORD kLargestFile = 256 * 1024;

bool parseNumber(const std::string& text, int base, unsigned long long limit,
                 unsigned long long& value) {
    if (text.empty() || text.size() > 12)
        return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)) || (base == 10 && !std::isdigit(c)))
            return false;
    value = std::strtoull(text.c_str(), nullptr, base);
    return value <= limit;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

bool readWholeFile(const std::wstring& path, std::string& text, bool& missing) {
    missing = false;
    ui::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    DWORD high = 0;
    DWORD size = ::GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kLargestFile)
        return false;
    text.assign(size, '\0');
    DWORD read = 0;
    if (size > 0 && (!::ReadFile(file.get(), &text[0], size, &read, nullptr) || read != size))
        return false;
    return true;
}

} // namespace

WeakKeyStore::WeakKeyStore(std::wstring path) : file(std::move(path)) {}

std::wstring WeakKeyStore::defaultPath() {
    return getWeakKeysFile();
}

std::string WeakKeyStore::format(const WeakKeyRecorder& recorder) {
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
    return text;
}

bool WeakKeyStore::parse(const std::string& text, WeakKeyRecorder& recorder) {
    struct Entry {
        unsigned index;
        WeakKeyRecorder::KeyCounts counts;
    };
    std::vector<Entry> entries;
    bool inSection = false;
    for (std::string line : split(text, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line != kSection)
                return false;
            inSection = true;
            continue;
        }
        if (!inSection || line.compare(0, sizeof kKeyPrefix - 1, kKeyPrefix) != 0)
            return false;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return false;
        std::string name = line.substr(sizeof kKeyPrefix - 1, equals - (sizeof kKeyPrefix - 1));
        std::vector<std::string> values = split(line.substr(equals + 1), ',');
        unsigned long long index = 0, presses = 0, hesitations = 0, lead = 0;
        if (values.size() != 3 || !parseNumber(name, 16, WeakKeyRecorder::kKeyCount - 1, index) ||
            !parseNumber(values[0], 10, 0xFFFFFFFFu, presses) ||
            !parseNumber(values[1], 10, 0xFFFFFFFFu, hesitations))
            return false;
        Entry entry{static_cast<unsigned>(index), {}};
        entry.counts.presses = static_cast<unsigned>(presses);
        entry.counts.hesitations = static_cast<unsigned>(hesitations);
        if (values[2] != "-") {
            if (!parseNumber(values[2], 10, WeakKeyRecorder::kBreakLimit, lead))
                return false;
            entry.counts.hasLeadTime = true;
            entry.counts.leadTime = static_cast<float>(lead);
        }
        entries.push_back(entry);
    }
    if (!inSection)
        return false;
    recorder.clear();
    for (const Entry& entry : entries)
        recorder.setCounts(entry.index, entry.counts);
    return true;
}

WeakKeyStore::LoadResult WeakKeyStore::load(WeakKeyRecorder& recorder) const {
    std::string text;
    bool missing = false;
    LoadResult result = LoadResult::Loaded;
    if (file.empty()) {
        result = LoadResult::Missing;
    } else if (!readWholeFile(file, text, missing)) {
        result = missing ? LoadResult::Missing : LoadResult::SetAside;
    } else if (!parse(text, recorder)) {
        result = LoadResult::SetAside;
    }
    if (result == LoadResult::SetAside) {
        // Kept for the user to look at, and out of the way of the next save.
        std::wstring aside = file + L".bad";
        if (!::MoveFileExW(file.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
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
    const std::string text = format(recorder);
    FileReplacement replacement(file);
    return replacement.writeTemporary(text) && replacement.commit();
}

} // namespace keywhirl
