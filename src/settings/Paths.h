// src/settings/Paths.h - where the program finds its own folder, its data files and the user's
// settings.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace keywhirl {

// Every folder below comes without a trailing backslash unless said otherwise;
// data file paths are formed by plain concatenation onto them.

// The user's application-data folder (CSIDL_APPDATA) in its long form, or an
// empty string when the shell cannot tell.
std::wstring getAppDataFolder();

// The folder of the running program file, in its long form.
std::wstring getProgramFolder();

// getProgramFolder() + "\\Localization\\" (with the trailing backslash). The
// real one is worked out once, on the first call, and kept.
std::wstring getLocalizationFolder();

// Every file the program reads or writes, named in this one place.
//
// <application data>\Keywhirl, made when missing, in the "\\?\" form that
// takes long paths; empty when there is no application-data folder, and
// then nothing is written.
std::wstring getSettingsFolder();
// The settings, Keywhirl.ini, and the weak-key record, WeakKeys.ini, in it;
// empty without the folder.
std::wstring getSettingsFile();
std::wstring getWeakKeysFile();
// The day-by-day typing history, History.csv, in the same folder.
std::wstring getHistoryFile();
// Beside the program: the sounds, the keyboard picture, the hook library.
std::wstring getClickSoundFile();
std::wstring getMetronomeSoundFile();
std::wstring getKeyboardPictureFile();
std::wstring getHookLibraryFile();
// The interface language with this code: <localization folder>\<code>.xml.
std::wstring getLanguageFile(const std::wstring& code);
// The help in the interface language with this code, English otherwise;
// see helpFileFor.
std::wstring getHelpFile(const std::wstring& languageCode);
// The help of a program file in a language: its path with ".<code>.chm" for
// its extension (Keywhirl.RUS.chm) when that file exists, otherwise the
// English help, its path with ".CHM". Only the extension of the file name
// is replaced, never a dot in a folder's name.
std::wstring helpFileFor(const std::wstring& programPath, const std::wstring& languageCode);

// Loads a library of the platform's by its full path in the system folder,
// so that no file of the same name beside the program or in the current
// folder is ever loaded instead. Null when it is not there.
HMODULE loadSystemLibrary(const wchar_t* fileName);

// The long form of path, or an empty string when it does not exist.
std::wstring toLongPath(const std::wstring& path);

// Reads the whole file into bytes. Returns 0, or the C runtime's error
// number (errno) when the file cannot be opened or read whole, or EFBIG
// when it is longer than maxBytes; bytes is then empty.
int readFileBytes(const std::wstring& path, std::vector<char>& bytes,
                  std::size_t maxBytes = static_cast<std::size_t>(-1));

// Test seam for the two folders above. While an override is set,
// getProgramFolder() or getAppDataFolder() returns it verbatim (give an
// absolute path without a trailing backslash), and getLocalizationFolder()
// follows the program folder. An empty string keeps the real folder.
// Set it on the main thread before the code under test starts, e.g.
//     keywhirl::setFolderOverrides(temp.path(), temp.path());
//     ...
//     keywhirl::resetFolderOverrides();
// Settings::instance() reads the application-data folder only when it
// creates the object: destroy the instance before changing the override.
void setFolderOverrides(const std::wstring& programFolder, const std::wstring& appDataFolder);
// Back to the real folders.
void resetFolderOverrides();

} // namespace keywhirl
