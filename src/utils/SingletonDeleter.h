// src/utils/SingletonDeleter.h - frees a lazily created singleton at program exit.
#pragma once

namespace keywhirl::utils {

// One static instance per singleton class; T provides destroyInstance(),
// which does nothing when no instance exists.
template <typename T> class SingletonDeleter {
public:
    SingletonDeleter() = default;
    virtual ~SingletonDeleter() { T::destroyInstance(); }
    SingletonDeleter(const SingletonDeleter&) = delete;
    SingletonDeleter& operator=(const SingletonDeleter&) = delete;
};

} // namespace keywhirl::utils
