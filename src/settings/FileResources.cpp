// src/settings/FileResources.cpp
#include "settings/FileResources.h"

#include "settings/Paths.h"
#include "utils/SingletonDeleter.h"

namespace keywhirl {

namespace {
utils::SingletonDeleter<FileResources> fileResourcesDeleter;
} // namespace

FileResources* FileResources::instance_ = nullptr;

FileResources* FileResources::instance() {
    if (instance_ == nullptr)
        instance_ = new FileResources;
    return instance_;
}

void FileResources::destroyInstance() {
    delete instance_;
    instance_ = nullptr;
}

FileResources::FileResources() {
    // A failed read leaves the block empty; the players cope with that.
    readFileBytes(getMetronomeSoundFile(), metronomeSound_, MaxSoundFileBytes);
    readFileBytes(getClickSoundFile(), clickSound_, MaxSoundFileBytes);
}

} // namespace keywhirl
