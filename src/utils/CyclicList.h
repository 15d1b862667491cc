// src/utils/CyclicList.h - an owning ring of values with a current position.
#pragma once

#include <utility>

namespace keywhirl::utils {

// One node of a CyclicList. A new node is a ring of one; deleting a node
// unlinks it from its neighbours and deletes its value.
template <typename T> class ListItem {
public:
    explicit ListItem(T* value) : value(value), next(this), prev(this) {}
    virtual ~ListItem() {
        prev->next = next;
        next->prev = prev;
        delete value;
    }
    ListItem(const ListItem&) = delete;
    ListItem& operator=(const ListItem&) = delete;

    T* value;
    ListItem* next;
    ListItem* prev;
};

// A closed, doubly linked ring that owns its values. Values added one after
// the other follow each other in the ring, and the one added last is
// current: after adding v1, v2, ..., vn, current() is vn and next() leads
// to v1, v2 and so on. There is no lock; one thread at a time uses it.
template <typename T> class CyclicList {
public:
    CyclicList() = default;
    virtual ~CyclicList() { clear(); }
    CyclicList(const CyclicList&) = delete;
    CyclicList& operator=(const CyclicList&) = delete;

    // Takes ownership and links the value in right after the current one;
    // it becomes the current one.
    void add(T* value) {
        auto* item = new ListItem<T>(value);
        if (current_ != nullptr) {
            item->prev = current_;
            item->next = current_->next;
            current_->next->prev = item;
            current_->next = item;
        }
        current_ = item;
    }

    // Only on a ring that is not empty.
    T& current() const { return *current_->value; }
    void next() { current_ = current_->next; }

    // Deletes the current value; the one after it becomes current.
    void removeCurrent() {
        if (current_ == nullptr)
            return;
        ListItem<T>* gone = current_;
        current_ = gone->next == gone ? nullptr : gone->next;
        delete gone;
    }

    void clear() {
        while (current_ != nullptr)
            removeCurrent();
    }

    bool empty() const { return current_ == nullptr; }
    void swap(CyclicList& other) { std::swap(current_, other.current_); }

private:
    ListItem<T>* current_ = nullptr;
};

} // namespace keywhirl::utils
