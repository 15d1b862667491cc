// src/localization/DecimalReferences.cpp
#include "localization/DecimalReferences.h"

#include <unordered_map>
#include <vector>

namespace keywhirl {

namespace {

constexpr long kLastCode = 0x10FFFF;
// "&#" + at most 7 digits (1114111) + ";"
constexpr int kMaxDigits = 7;
constexpr int kMaxReferenceLength = 2 + kMaxDigits + 1;

// The value's characters in fixed slots: erasing a character leaves its slot
// empty, so the positions that candidate references were found at stay valid.
// Two path-compressed link arrays step to the next and previous live slot, and
// a Fenwick tree turns a position in the current text into a slot and back.
class SlotText {
public:
    explicit SlotText(const std::wstring& value)
        : chars(value), count(static_cast<int>(value.size())), liveCount(count),
          nextLink(count + 1), prevLink(count + 1), tree(count + 1, 0) {
        for (int i = 0; i <= count; ++i) {
            nextLink[i] = i;
            prevLink[i] = i;
        }
        for (int i = 1; i <= count; ++i) {
            tree[i] += 1;
            int parent = i + (i & -i);
            if (parent <= count)
                tree[parent] += tree[i];
        }
    }

    int end() const { return count; }
    bool isLive(int slot) const { return slot >= 0 && slot < count && nextLink[slot] == slot; }
    wchar_t at(int slot) const { return chars[slot]; }
    void set(int slot, wchar_t c) { chars[slot] = c; }

    // The first live slot after `slot`, or end().
    int next(int slot) { return findNext(slot + 1); }
    // The last live slot before `slot`, or -1.
    int previous(int slot) { return findPrevious(slot - 1); }

    void erase(int slot) {
        nextLink[slot] = slot + 1;
        prevLink[slot + 1] = slot;
        for (int i = slot + 1; i <= count; i += i & -i)
            tree[i] -= 1;
        --liveCount;
    }

    // The slot that holds the character at `index` of the current text, or end().
    int slotAt(int index) const {
        if (index < 0 || index >= liveCount)
            return count;
        int position = 0;
        int remaining = index + 1;
        int step = 1;
        while (step * 2 <= count)
            step *= 2;
        for (; step > 0; step /= 2) {
            if (position + step <= count && tree[position + step] < remaining) {
                position += step;
                remaining -= tree[position];
            }
        }
        return position;
    }

    // The position of a live slot in the current text.
    int indexOf(int slot) const {
        int sum = 0;
        for (int i = slot; i > 0; i -= i & -i)
            sum += tree[i];
        return sum;
    }

    std::wstring str() const {
        std::wstring result;
        result.reserve(liveCount);
        for (int i = 0; i < count; ++i)
            if (nextLink[i] == i)
                result += chars[i];
        return result;
    }

private:
    int findNext(int slot) {
        int root = slot;
        while (nextLink[root] != root)
            root = nextLink[root];
        while (nextLink[slot] != root) {
            int up = nextLink[slot];
            nextLink[slot] = root;
            slot = up;
        }
        return root;
    }

    // prevLink is shifted by one so that slot -1 has an entry of its own.
    int findPrevious(int slot) {
        int node = slot + 1;
        int root = node;
        while (prevLink[root] != root)
            root = prevLink[root];
        while (prevLink[node] != root) {
            int up = prevLink[node];
            prevLink[node] = root;
            node = up;
        }
        return root - 1;
    }

    std::wstring chars;
    int count;
    int liveCount;
    std::vector<int> nextLink;
    std::vector<int> prevLink;
    std::vector<int> tree;
};

// What stands at a slot that may start a reference.
struct Probe {
    bool opens = false;  // "&#" starts here
    bool valid = false;  // the characters up to ';' (or the end) are a usable number
    bool closed = false; // a ';' ends them
    long code = 0;
    int last = -1; // the slot of the ';'
};

Probe probe(SlotText& text, int slot) {
    Probe result;
    if (!text.isLive(slot) || text.at(slot) != L'&')
        return result;
    int hash = text.next(slot);
    if (hash == text.end() || text.at(hash) != L'#')
        return result;
    result.opens = true;
    long code = 0;
    int digits = 0;
    bool leadingZero = false;
    for (int s = text.next(hash);; s = text.next(s)) {
        if (s == text.end())
            break;
        wchar_t c = text.at(s);
        if (c == L';') {
            result.closed = true;
            result.last = s;
            break;
        }
        // Anything but a digit makes a text that "%d" never prints; so do
        // more digits than any character code has.
        if (c < L'0' || c > L'9' || digits == kMaxDigits)
            return result;
        if (digits == 0 && c == L'0')
            leadingZero = true;
        code = code * 10 + (c - L'0');
        ++digits;
    }
    result.valid = digits > 0 && !(leadingZero && digits > 1) && code >= 1 && code <= kLastCode;
    result.code = code;
    return result;
}

using Candidates = std::unordered_map<long, std::vector<int>>;

// Replaces every occurrence of the reference to `code` until none is left.
void replaceAll(SlotText& text, Candidates& candidates, long code) {
    std::vector<int> work;
    auto found = candidates.find(code);
    if (found == candidates.end())
        return;
    work = std::move(found->second);
    candidates.erase(found);

    while (!work.empty()) {
        int start = work.back();
        work.pop_back();
        Probe here = probe(text, start);
        if (!here.valid || !here.closed || here.code != code)
            continue; // changed since it was noted
        int kept = start;
        if (code <= 0xFFFF) {
            text.set(start, static_cast<wchar_t>(code));
        } else {
            long offset = code - 0x10000;
            text.set(start, static_cast<wchar_t>(0xD800 + (offset >> 10)));
            kept = text.next(start);
            text.set(kept, static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        }
        for (int s = text.next(kept); s <= here.last;) {
            int following = text.next(s);
            text.erase(s);
            s = following;
        }
        // The new characters may complete references that start a little
        // before them; those of this code belong to this same replacement.
        int s = kept;
        for (int steps = 0; s >= 0 && steps < kMaxReferenceLength; ++steps, s = text.previous(s)) {
            if (text.at(s) != L'&')
                continue;
            Probe made = probe(text, s);
            if (!made.valid || !made.closed)
                continue;
            if (made.code == code)
                work.push_back(s);
            else
                candidates[made.code].push_back(s);
        }
    }
}

} // namespace

std::wstring DecimalReferences::Decode(const std::wstring& value) {
    if (value.find(L"&#") == std::wstring::npos)
        return value;

    SlotText text(value);
    Candidates candidates;
    for (int s = 0; s < text.end(); ++s) {
        if (text.at(s) != L'&')
            continue;
        Probe here = probe(text, s);
        if (here.valid && here.closed)
            candidates[here.code].push_back(s);
    }

    int from = 0;
    for (;;) {
        int s = text.slotAt(from);
        while (s != text.end() && !probe(text, s).opens)
            s = text.next(s);
        if (s == text.end())
            break;
        int position = text.indexOf(s);
        Probe here = probe(text, s);
        if (here.valid)
            replaceAll(text, candidates, here.code);
        from = position + 1;
    }
    return text.str();
}

} // namespace keywhirl
