// tests/support/Mutation.h - the pieces of a mutation fuzzer: a repeatable
// generator, an input buffer that ends at a page that may not be read, and
// random changes to bytes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace keywhirl::testing {

using Bytes = std::vector<unsigned char>;

// A small generator with a fixed sequence on every platform.
class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed) {}
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    std::size_t below(std::size_t bound) { return bound == 0 ? 0 : next() % bound; }

private:
    std::uint32_t state;
};

// Holds each input so that its last byte touches a page that may not be
// read: a read past the end is an access violation, not a silent pass.
class GuardedInput {
public:
    static constexpr std::size_t kCapacity = 64 * 1024;

    GuardedInput() {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        page = info.dwPageSize;
        base = static_cast<unsigned char*>(
            ::VirtualAlloc(nullptr, kCapacity + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        guardOk = base != nullptr &&
                  ::VirtualProtect(base + kCapacity, page, PAGE_NOACCESS, &old) != FALSE;
    }
    ~GuardedInput() {
        if (base)
            ::VirtualFree(base, 0, MEM_RELEASE);
    }
    GuardedInput(const GuardedInput&) = delete;
    GuardedInput& operator=(const GuardedInput&) = delete;

    bool ready() const { return guardOk; }
    const unsigned char* place(const Bytes& bytes) {
        unsigned char* start = base + kCapacity - bytes.size();
        if (!bytes.empty())
            std::memcpy(start, bytes.data(), bytes.size());
        return start;
    }

private:
    std::size_t page = 4096;
    unsigned char* base = nullptr;
    bool guardOk = false;
};

// One random change of the kind that breaks binary readers: flipped bits,
// length fields near the sizes the input knows, cuts, growth, the reader's
// own four-character ids, deleted and repeated runs.
inline void mutate(Bytes& bytes, Random& random,
                   const std::vector<const char*>& ids = {"fmt ", "data", "LIST", "RIFF", "WAVE"}) {
    static const std::uint32_t interesting[] = {0,          1,          13,         14,
                                                16,         0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                                0xFFFFFFF8, 0xFFFFFFFE, 0x10000,    0xFF};
    switch (random.below(8)) {
    case 0:
        if (!bytes.empty())
            bytes[random.below(bytes.size())] ^= static_cast<unsigned char>(1u << random.below(8));
        break;
    case 1:
        if (!bytes.empty())
            bytes[random.below(bytes.size())] = static_cast<unsigned char>(random.next());
        break;
    case 2: { // a length field: around the sizes the file itself knows
        if (bytes.size() < 4)
            break;
        std::size_t at = random.below(bytes.size() - 3);
        std::uint32_t value;
        switch (random.below(3)) {
        case 0:
            value = interesting[random.below(sizeof interesting / sizeof interesting[0])];
            break;
        case 1:
            value = static_cast<std::uint32_t>(bytes.size() - at) +
                    static_cast<int>(random.below(9)) - 8;
            break;
        default:
            value = random.next();
        }
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
        break;
    }
    case 3:
        bytes.resize(random.below(bytes.size() + 1));
        break;
    case 4: {
        std::size_t extra = random.below(16);
        for (std::size_t i = 0; i < extra; ++i)
            bytes.push_back(static_cast<unsigned char>(random.next()));
        break;
    }
    case 5:
        if (bytes.size() >= 4 && !ids.empty()) {
            const char* id = ids[random.below(ids.size())];
            std::memcpy(bytes.data() + random.below(bytes.size() - 3), id, 4);
        }
        break;
    case 6: {
        std::size_t from = random.below(bytes.size() + 1);
        std::size_t count = random.below(bytes.size() - from + 1);
        bytes.erase(bytes.begin() + from, bytes.begin() + from + count);
        break;
    }
    default: {
        std::size_t from = random.below(bytes.size() + 1);
        std::size_t count = random.below(bytes.size() - from + 1);
        Bytes copy(bytes.begin() + from, bytes.begin() + from + count);
        bytes.insert(bytes.begin() + random.below(bytes.size() + 1), copy.begin(), copy.end());
        break;
    }
    }
    if (bytes.size() > GuardedInput::kCapacity)
        bytes.resize(GuardedInput::kCapacity);
}

} // namespace keywhirl::testing
