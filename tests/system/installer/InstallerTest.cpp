// tests/system/installer/InstallerTest.cpp - the setup program installs the
// program where a user expects it, for every user or for the current one,
// the installed program runs, and the uninstaller ends it and removes
// everything but the user's settings.
#include "Probe.h"
#include "support/Waiting.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

using keywhirl::testing::eventually;
using keywhirl::testing::programOutputFolder;
using keywhirl::testing::unixToWinePath;

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Keywhirl";

std::wstring shellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

std::wstring installFolder() {
    return shellFolder(CSIDL_PROGRAM_FILES) + L"\\Keywhirl";
}
std::wstring startMenuFolder() {
    return shellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Keywhirl";
}
// Where an install for the current user only goes.
std::wstring userInstallFolder() {
    return shellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Keywhirl";
}
std::wstring userStartMenuFolder() {
    return shellFolder(CSIDL_PROGRAMS) + L"\\Keywhirl";
}
std::wstring settingsFolder() {
    return shellFolder(CSIDL_APPDATA) + L"\\Keywhirl";
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LONGLONG fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The files of one folder matching the pattern, as names.
std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// What setup must carry: the program's files as the build lays them out.
std::vector<std::wstring> productFiles() {
    std::vector<std::wstring> files = {L"Keywhirl.exe", L"Keywhirl.dll", L"Keywhirl.chm"};
    const std::pair<const wchar_t*, const wchar_t*> folders[] = {
        {L"Sounds", L"*.wav"}, {L"Keyboard", L"*.bmp"}, {L"Localization", L"*.xml"}};
    for (const auto& [folder, pattern] : folders)
        for (const std::wstring& name : filesIn(programOutputFolder() + L"\\" + folder, pattern))
            files.push_back(std::wstring(folder) + L"\\" + name);
    return files;
}

std::wstring readString(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return {};
    LONG result =
        ::RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(opened);
    return result == ERROR_SUCCESS && type == REG_SZ ? value : std::wstring();
}

DWORD readNumber(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return 0;
    LONG result =
        ::RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(opened);
    return result == ERROR_SUCCESS && type == REG_DWORD ? value : 0;
}

// The "ProductVersion" string of a program's version resource.
std::wstring productVersionOf(const std::wstring& program) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (!size || !::GetFileVersionInfoW(program.c_str(), 0, size, block.data()))
        return {};
    WORD* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &length) ||
        length < 4)
        return {};
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0],
             translation[1]);
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length))
        return {};
    return value;
}

// The processes running the program file at the given path.
int processesOf(const std::wstring& program) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Keywhirl.exe") != 0)
            continue;
        HANDLE process =
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleFileNameExW(process, nullptr, path, MAX_PATH) &&
            _wcsicmp(path, program.c_str()) == 0)
            ++count;
        ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
    return count;
}

std::wstring iniValue(const wchar_t* key) {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(L"Settings", key, L"", value, 64,
                               (settingsFolder() + L"\\Keywhirl.ini").c_str());
    return value;
}

bool keyExists(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(opened);
    return true;
}

bool valueExists(HKEY root, const wchar_t* key, const wchar_t* name) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    LONG result = ::RegQueryValueExW(opened, name, nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

void removeTree(const std::wstring& folder) {
    if (!exists(folder))
        return;
    std::wstring from = folder + L'\0'; // the list ends with a second zero
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&operation);
}

// Starts a program and returns its process; the caller closes the handles.
PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& arguments) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return {};
    return process;
}

void close(PROCESS_INFORMATION& process) {
    if (process.hThread)
        ::CloseHandle(process.hThread);
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    process = {};
}


HWND hiddenMainWindowOf(DWORD processId) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"#32770", L"Keywhirl")) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && !::IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Removes whatever an earlier, broken run may have left, and the settings,
// so that a settings file found afterwards was written by this run.
void cleanProfile() {
    removeTree(installFolder());
    removeTree(startMenuFolder());
    removeTree(userInstallFolder());
    removeTree(userStartMenuFolder());
    removeTree(settingsFolder());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKey);
    HKEY run = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueW(run, L"Keywhirl");
        ::RegCloseKey(run);
    }
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(keywhirl::probe::findMainWindow(0), nullptr)
            << "another Keywhirl is running in the test session";
        cleanProfile();
    }
    void TearDown() override {
        if (program.hProcess && ::WaitForSingleObject(program.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(program.hProcess, 1);
        close(program);
        cleanProfile();
    }

    // Runs the setup program with the arguments and waits for its end; its
    // exit code.
    DWORD runSetup(const std::wstring& arguments) {
        PROCESS_INFORMATION installer = start(unixToWinePath(KEYWHIRL_SETUP_FILE_UNIX), arguments);
        if (!installer.hProcess)
            return 1000;
        DWORD exitCode = 1001;
        if (::WaitForSingleObject(installer.hProcess, 60000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(installer.hProcess, &exitCode);
        close(installer);
        return exitCode;
    }

    PROCESS_INFORMATION program = {};
};

TEST_F(Installer, InstallsRunsAndUninstallsKeepingOnlyTheSettings) {
    const std::wstring folder = installFolder();
    const std::wstring setup = unixToWinePath(KEYWHIRL_SETUP_FILE_UNIX);
    ASSERT_TRUE(exists(setup)) << "the build makes the setup program";

    // Silent install for every user, in German: without /START nothing is
    // started (setup starts the program, if at all, before it ends).
    ASSERT_EQ(runSetup(L"/S /LANGUAGE=DEU"), 0u);
    EXPECT_EQ(processesOf(folder + L"\\Keywhirl.exe"), 0)
        << "a silent install without /START started the program";
    EXPECT_EQ(iniValue(L"l10nLanguageCode"), L"DEU")
        << "the language of a first install becomes the interface language";

    std::vector<std::wstring> files = productFiles();
    ASSERT_GE(files.size(), 8u) << "the output folder lacks the program's data";
    for (const std::wstring& file : files)
        EXPECT_EQ(fileSize(folder + L"\\" + file), fileSize(programOutputFolder() + L"\\" + file))
            << "installed copy of " << narrow(file);
    EXPECT_TRUE(exists(folder + L"\\Uninstall.exe"));
    for (const wchar_t* shortcut :
         {L"Keywhirl.lnk", L"Keywhirl Help.lnk", L"Uninstall Keywhirl.lnk"})
        EXPECT_TRUE(exists(startMenuFolder() + L"\\" + shortcut));
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Keywhirl");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"),
              L"" KEYWHIRL_VERSION);
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"The Keywhirl team");
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"),
              folder + L"\\Keywhirl.exe,0");
    EXPECT_GT(readNumber(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize"), 100u) << "KB";
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"),
              L"\"" + folder + L"\\Uninstall.exe\" /AllUsers");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_EQ(readString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), folder);

    // The installed program starts and gets as far as writing its logon
    // start value, which names the installed copy (quoted or not).
    program = start(folder + L"\\Keywhirl.exe", L"");
    ASSERT_NE(program.hProcess, nullptr);
    HWND mainWindow = nullptr;
    ASSERT_TRUE(eventually(
        [&] { return (mainWindow = hiddenMainWindowOf(program.dwProcessId)) != nullptr; }, 20000))
        << "the installed program shows no main window";
    auto runValue = [] {
        std::wstring value = readString(HKEY_CURRENT_USER, kRunKey, L"Keywhirl");
        if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
            value = value.substr(1, value.size() - 2);
        return value;
    };
    EXPECT_TRUE(eventually([&] { return runValue() == folder + L"\\Keywhirl.exe"; }, 20000))
        << "Run value: " << narrow(runValue());

    // Silent uninstall while it runs. The uninstaller hands its work to a
    // copy of itself and ends at once, so the test watches the results.
    PROCESS_INFORMATION uninstaller = start(folder + L"\\Uninstall.exe", L"/S");
    ASSERT_NE(uninstaller.hProcess, nullptr);
    ::WaitForSingleObject(uninstaller.hProcess, 30000);
    close(uninstaller);
    ASSERT_EQ(::WaitForSingleObject(program.hProcess, 30000), WAIT_OBJECT_0)
        << "the uninstaller did not end the running program";
    DWORD programExit = 1;
    ::GetExitCodeProcess(program.hProcess, &programExit);
    EXPECT_EQ(programExit, 0u) << "the program was not closed the way its Exit item closes it";
    EXPECT_TRUE(eventually(
        [&] { return !exists(folder) && !keyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 30000))
        << "the uninstaller left the program folder or its entry in the list of programs";

    EXPECT_FALSE(exists(folder));
    EXPECT_FALSE(exists(startMenuFolder()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, kRunKey, L"Keywhirl"));
    // The settings stay: written by the program as it was closed, and kept.
    EXPECT_GT(fileSize(settingsFolder() + L"\\Keywhirl.ini"), 0);
    wchar_t autoRun[16] = {};
    ::GetPrivateProfileStringW(L"Settings", L"autoRun", L"", autoRun, 16,
                               (settingsFolder() + L"\\Keywhirl.ini").c_str());
    EXPECT_STREQ(autoRun, L"TRUE");
}

// One version, the project's, wherever the user reads one.
TEST_F(Installer, TheSetupProgramTheProgramAndTheListOfProgramsShowOneVersion) {
    const std::wstring setup = unixToWinePath(KEYWHIRL_SETUP_FILE_UNIX);
    EXPECT_NE(setup.find(L"Keywhirl-" KEYWHIRL_VERSION L"-setup.exe"), std::wstring::npos);
    EXPECT_EQ(productVersionOf(setup), L"" KEYWHIRL_VERSION);
    EXPECT_EQ(productVersionOf(programOutputFolder() + L"\\Keywhirl.exe"), L"" KEYWHIRL_VERSION);
    ASSERT_EQ(runSetup(L"/S /CurrentUser"), 0u);
    EXPECT_EQ(productVersionOf(userInstallFolder() + L"\\Keywhirl.exe"), L"" KEYWHIRL_VERSION);
    EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion"),
              L"" KEYWHIRL_VERSION);
}

// For the current user only: the user's local programs folder, the user's
// Start menu and list of programs; the settings already there stay; /START
// starts the program as the finish page's box does.
TEST_F(Installer, InstallsForTheCurrentUserOnlyAndStartsTheProgramWhenAsked) {
    const std::wstring folder = userInstallFolder();
    ::CreateDirectoryW(settingsFolder().c_str(), nullptr);
    const std::wstring ini = settingsFolder() + L"\\Keywhirl.ini";
    ::WritePrivateProfileStringW(L"Settings", L"l10nLanguageCode", L"RUS", ini.c_str());
    ::WritePrivateProfileStringW(L"Settings", L"keyboardWaitInterval", L"1234", ini.c_str());

    ASSERT_EQ(runSetup(L"/S /CurrentUser /LANGUAGE=DEU /START"), 0u);
    for (const std::wstring& file : productFiles())
        EXPECT_EQ(fileSize(folder + L"\\" + file), fileSize(programOutputFolder() + L"\\" + file))
            << "installed copy of " << narrow(file);
    EXPECT_FALSE(exists(installFolder())) << "nothing goes to Program Files";
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    for (const wchar_t* shortcut :
         {L"Keywhirl.lnk", L"Keywhirl Help.lnk", L"Uninstall Keywhirl.lnk"})
        EXPECT_TRUE(exists(userStartMenuFolder() + L"\\" + shortcut)) << narrow(shortcut);
    EXPECT_FALSE(exists(startMenuFolder()));
    EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"DisplayName"), L"Keywhirl");
    EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"Publisher"), L"The Keywhirl team");
    EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"DisplayIcon"),
              folder + L"\\Keywhirl.exe,0");
    EXPECT_GT(readNumber(HKEY_CURRENT_USER, kUninstallKey, L"EstimatedSize"), 100u);
    EXPECT_EQ(readString(HKEY_CURRENT_USER, kUninstallKey, L"InstallLocation"), folder);
    const std::wstring quiet =
        readString(HKEY_CURRENT_USER, kUninstallKey, L"QuietUninstallString");
    EXPECT_EQ(quiet, L"\"" + folder + L"\\Uninstall.exe\" /CurrentUser /S");
    // The user's settings are theirs: setup's language does not replace them.
    EXPECT_EQ(iniValue(L"l10nLanguageCode"), L"RUS");
    EXPECT_EQ(iniValue(L"keyboardWaitInterval"), L"1234");

    // /START: the installed program runs, and shows its main window.
    EXPECT_EQ(processesOf(folder + L"\\Keywhirl.exe"), 1);
    EXPECT_NE(keywhirl::probe::findMainWindow(20000), nullptr);

    // Installing again over the running program ends it first and keeps
    // the settings it saved as it ended.
    ASSERT_EQ(runSetup(L"/S /CurrentUser"), 0u);
    EXPECT_EQ(processesOf(folder + L"\\Keywhirl.exe"), 0) << "setup left the old program running";
    EXPECT_EQ(iniValue(L"l10nLanguageCode"), L"RUS");
    EXPECT_EQ(iniValue(L"keyboardWaitInterval"), L"1234");

    // The quiet uninstall of the list of programs removes this install only.
    PROCESS_INFORMATION uninstaller = start(folder + L"\\Uninstall.exe", L"/CurrentUser /S");
    ASSERT_NE(uninstaller.hProcess, nullptr);
    ::WaitForSingleObject(uninstaller.hProcess, 30000);
    close(uninstaller);
    EXPECT_TRUE(eventually(
        [&] { return !exists(folder) && !keyExists(HKEY_CURRENT_USER, kUninstallKey); }, 30000));
    EXPECT_FALSE(exists(userStartMenuFolder()));
    EXPECT_EQ(iniValue(L"keyboardWaitInterval"), L"1234") << "the settings stay";
}

} // namespace
