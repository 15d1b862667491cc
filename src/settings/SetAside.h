// src/settings/SetAside.h - moves a file that cannot be used out of the way, for the user to
// look at.
#pragma once

#include <string>

namespace keywhirl {

// How many set-aside copies of one file are kept.
constexpr int kSetAsideCopies = 5;

// The name of the set-aside copy number index (0 is the newest):
// file + suffix, then file + suffix + ".1", ".2" and so on.
std::wstring setAsideName(const std::wstring& file, const std::wstring& suffix, int index);

// Renames file to file + suffix. Copies set aside before move one number
// up first (the oldest of kSetAsideCopies goes), so a set-aside file is never
// overwritten. False when the file could not be moved (another program holds
// it open); it is then where it was.
bool setAside(const std::wstring& file, const std::wstring& suffix);

} // namespace keywhirl
