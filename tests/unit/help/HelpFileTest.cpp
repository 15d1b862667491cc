// tests/unit/help/HelpFileTest.cpp - the compiled help beside the program: the
// tray menu's context number opens the main page, every page and link is
// inside the file, and the pages name what the program really uses.
#include "ChmFile.h"

#include "KeywhirlVersion.h"
#include "help/context.h"
#include "localization/LocalizationManager.h"
#include "resource.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "support/TempFolder.h"
#include "support/WinePaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

using keywhirl::testing::ChmFile;

namespace {

std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size,
                          nullptr, nullptr);
    return result;
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Every value of the attribute in the text, e.g. the href="..." of a page.
std::vector<std::string> attributeValues(const std::string& text, const std::string& attribute) {
    std::vector<std::string> values;
    std::string opener = attribute + "=\"";
    for (size_t at = text.find(opener); at != std::string::npos; at = text.find(opener, at)) {
        at += opener.size();
        size_t end = text.find('"', at);
        if (end == std::string::npos)
            break;
        values.push_back(text.substr(at, end - at));
    }
    return values;
}

// The "Local" targets of a contents or index file.
std::vector<std::string> sitemapTopics(const std::string& sitemap) {
    std::vector<std::string> topics;
    const std::string opener = "<param name=\"Local\" value=\"";
    for (size_t at = sitemap.find(opener); at != std::string::npos; at = sitemap.find(opener, at)) {
        at += opener.size();
        topics.push_back(sitemap.substr(at, sitemap.find('"', at) - at));
    }
    return topics;
}

// The length of a page's readable text in characters: the body without its
// tags, an entity as one character, every run of white space as one.
size_t textLength(const std::string& page) {
    size_t at = page.find("<body");
    if (at == std::string::npos)
        at = 0;
    size_t length = 0;
    bool space = true;
    while (at < page.size()) {
        const unsigned char c = static_cast<unsigned char>(page[at]);
        if (c == '<') {
            size_t end = page.find('>', at);
            at = end == std::string::npos ? page.size() : end + 1;
            continue;
        }
        if (c == '&') {
            size_t end = page.find(';', at);
            if (end != std::string::npos && end - at <= 8) {
                at = end + 1;
                ++length;
                space = false;
                continue;
            }
        }
        ++at;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!space)
                ++length;
            space = true;
        } else if ((c & 0xC0) != 0x80) { // not the continuation of a UTF-8 character
            ++length;
            space = false;
        }
    }
    return length;
}

TEST(HelpText, LengthCountsCharactersNotTagsOrBytes) {
    const struct {
        const char* page;
        size_t length;
    } cases[] = {
        {"", 0},
        {"<html><head><title>Head</title></head><body></body></html>", 0},
        {"<body><p>One  two</p></body>", 7},
        {"<body><p>a\r\n\t b</p>\n<p>c</p></body>", 5},
        {"<body>x &amp; y &nbsp;&minus;</body>", 8},
        {"<body>\xd0\x94\xd0\xb0 \xc3\xa9t\xc3\xa9</body>", 6}, // "Да été"
        {"<body><a href=\"index.html\">Keywhirl</a></body>", 8},
        {"<body>a & b</body>", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textLength(c.page), c.length) << c.page;
}

class HelpFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override {
        std::wstring path = keywhirl::testing::programOutputFolder() + L"\\Keywhirl.chm";
        ASSERT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the build puts Keywhirl.chm beside Keywhirl.exe";
        ASSERT_TRUE(chm.open(path)) << "the help reader cannot open the file";
    }

    std::string page(const std::string& name) {
        std::string text;
        EXPECT_TRUE(chm.read(widen(name), text)) << name;
        return text;
    }

    ChmFile chm;
};

TEST_F(HelpFile, TrayMenuContextOpensTheMainPage) {
    // The tray menu asks for 0x20000 plus the main window's dialog template.
    EXPECT_EQ(IDH_MAIN_WINDOW, 0x20000 + IDD_KEYWHIRL_DIALOG);
    EXPECT_EQ(IDH_MAIN_WINDOW, 131174);

    std::map<std::uint32_t, std::string> topics;
    ASSERT_TRUE(chm.contextMap(topics)) << "the context table is damaged";
    auto found = topics.find(IDH_MAIN_WINDOW);
    ASSERT_NE(found, topics.end()) << "context 0x20066 is not mapped";
    EXPECT_EQ(found->second, "html/index.html");

    std::string mainPage = page(found->second);
    EXPECT_NE(mainPage.find("<title>Keywhirl</title>"), std::string::npos);
    EXPECT_NE(mainPage.find("What it does"), std::string::npos);
    // The build writes its own version into the page.
    EXPECT_NE(mainPage.find("Keywhirl " KEYWHIRL_VERSION_TEXT "."), std::string::npos);
    EXPECT_EQ(mainPage.find("@KEYWHIRL_VERSION@"), std::string::npos);
}

TEST_F(HelpFile, OpensOnTheMainPageWithItsTitle) {
    EXPECT_EQ(chm.systemRecord(2), "html/index.html");
    EXPECT_EQ(chm.systemRecord(3), "Keywhirl Help");
}

TEST_F(HelpFile, ContentsCoverEveryTopicInOrder) {
    std::vector<std::string> topics = sitemapTopics(page("Keywhirl.hhc"));
    const std::vector<std::string> expected = {
        "html/index.html",      "html/traymenu.html", "html/keyboard.html", "html/sounds.html",
        "html/statistics.html", "html/measures.html", "html/history.html",  "html/settings.html",
        "html/languages.html",  "html/files.html",    "html/uninstall.html"};
    EXPECT_EQ(topics, expected);
    for (const std::string& topic : topics) {
        std::string text = page(topic);
        EXPECT_NE(text.find("<title>"), std::string::npos) << topic;
        EXPECT_NE(text.find("keywhirl.css"), std::string::npos) << topic;
    }
}

TEST_F(HelpFile, EveryIndexEntryAndLinkLeadsIntoTheFile) {
    for (const std::string& topic : sitemapTopics(page("Keywhirl.hhk")))
        EXPECT_TRUE(chm.exists(widen(topic))) << "index entry leads to " << topic;

    std::set<std::string> linked;
    for (const std::string& topic : sitemapTopics(page("Keywhirl.hhc"))) {
        std::string text = page(topic);
        std::vector<std::string> targets = attributeValues(text, "href");
        std::vector<std::string> sources = attributeValues(text, "src");
        targets.insert(targets.end(), sources.begin(), sources.end());
        for (std::string target : targets) {
            target = target.substr(0, target.find('#'));
            ASSERT_EQ(target.find(':'), std::string::npos)
                << topic << " links outside the file: " << target;
            if (target.empty())
                continue;
            linked.insert("html/" + target);
            EXPECT_TRUE(chm.exists(widen("html/" + target))) << topic << " -> " << target;
        }
    }
    // No page is a dead end that only the contents reach.
    for (const std::string& topic : sitemapTopics(page("Keywhirl.hhc")))
        EXPECT_EQ(linked.count(topic), 1u) << "no page links to " << topic;
}

TEST_F(HelpFile, SettingsPageNamesEveryKeyOfTheSettingsFile) {
    std::string settingsPage = page("html/settings.html");
    keywhirl::testing::TempFolder folder;
    keywhirl::Settings::destroyInstance();
    keywhirl::setFolderOverrides(folder.path(), folder.path());
    keywhirl::Settings::instance();
    keywhirl::Settings::destroyInstance(); // writes the file with every key
    keywhirl::resetFolderOverrides();

    std::wstring file = folder.path() + L"\\Keywhirl\\Keywhirl.ini";
    std::vector<wchar_t> keys(32768);
    DWORD length = ::GetPrivateProfileStringW(L"Settings", nullptr, L"", keys.data(),
                                              static_cast<DWORD>(keys.size()), file.c_str());
    size_t count = 0;
    for (const wchar_t* key = keys.data(); key < keys.data() + length && *key;
         key += wcslen(key) + 1) {
        ++count;
        std::string name = toUtf8(key);
        EXPECT_NE(settingsPage.find("<code>" + name + "</code>"), std::string::npos)
            << "the settings page does not explain " << name;
    }
    EXPECT_EQ(count, 24u);
}

// The names of the help files beside the program: Keywhirl.chm and one
// Keywhirl.<code>.chm per further language.
std::vector<std::wstring> helpFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(
        (keywhirl::testing::programOutputFolder() + L"\\Keywhirl*.chm").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// Every language's help opens on its main page from the tray menu's context
// number and has the English help's pages, in the same order, in its
// contents; the pages' texts are its own.
TEST(HelpFiles, EveryLanguageHasTheMainPagesContextAndTheSamePages) {
    ::CoInitialize(nullptr);
    std::vector<std::wstring> names = helpFiles();
    ASSERT_EQ(names.size(), 6u) << "English and the five other interface languages";
    ChmFile english;
    ASSERT_TRUE(english.open(keywhirl::testing::programOutputFolder() + L"\\Keywhirl.chm"));
    std::string englishContents;
    ASSERT_TRUE(english.read(L"Keywhirl.hhc", englishContents));
    const std::vector<std::string> pages = sitemapTopics(englishContents);
    std::string englishMain;
    ASSERT_TRUE(english.read(L"html/index.html", englishMain));
    for (const std::wstring& name : names) {
        const std::string shown = toUtf8(name);
        ChmFile chm;
        ASSERT_TRUE(chm.open(keywhirl::testing::programOutputFolder() + L"\\" + name)) << shown;
        std::map<std::uint32_t, std::string> topics;
        ASSERT_TRUE(chm.contextMap(topics)) << shown;
        EXPECT_EQ(topics[IDH_MAIN_WINDOW], "html/index.html") << shown;
        EXPECT_EQ(chm.systemRecord(2), "html/index.html") << shown;
        std::string contents;
        ASSERT_TRUE(chm.read(L"Keywhirl.hhc", contents)) << shown;
        EXPECT_EQ(sitemapTopics(contents), pages) << shown;
        for (const std::string& page : pages) {
            std::string text;
            EXPECT_TRUE(chm.read(widen(page), text)) << shown << " " << page;
            EXPECT_NE(text.find("keywhirl.css"), std::string::npos) << shown << " " << page;
        }
        std::string main;
        ASSERT_TRUE(chm.read(L"html/index.html", main));
        EXPECT_NE(main.find("Keywhirl " KEYWHIRL_VERSION_TEXT), std::string::npos) << shown;
        if (name != L"Keywhirl.chm") {
            EXPECT_NE(main, englishMain) << shown << " is the English help";
        }
    }
    ::CoUninitialize();
}

// The pages a page links to, itself left out, and how many headings and table
// rows it has: what a translation keeps of the English page's build.
struct PageShape {
    std::set<std::string> links;
    size_t headings = 0;
    size_t rows = 0;
    bool operator==(const PageShape& other) const {
        return links == other.links && headings == other.headings && rows == other.rows;
    }
};

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

PageShape shapeOf(const std::string& topic, const std::string& page) {
    PageShape shape;
    for (const std::string& link : attributeValues(page, "href"))
        if ("html/" + link != topic && link != "keywhirl.css")
            shape.links.insert(link);
    shape.headings = occurrences(page, "<h2>");
    shape.rows = occurrences(page, "<tr>");
    return shape;
}

// A translation says all that the English page says: none of its pages is
// much shorter than the English one (languages differ in length, but a page
// under this share of the English text has left something out), and each
// keeps the English page's links with their anchors, its headings and its
// table rows, so no section or row is missing.
TEST(HelpFiles, NoLanguageShortensAnyPage) {
    const size_t kLeastPercent = 70;
    // Every help file beside the program but the English one.
    std::vector<std::wstring> translations;
    for (const std::wstring& name : helpFiles())
        if (name != L"Keywhirl.chm")
            translations.push_back(name);
    ::CoInitialize(nullptr);
    ChmFile english;
    ASSERT_TRUE(english.open(keywhirl::testing::programOutputFolder() + L"\\Keywhirl.chm"));
    std::string englishContents;
    ASSERT_TRUE(english.read(L"Keywhirl.hhc", englishContents));
    const std::vector<std::string> pages = sitemapTopics(englishContents);
    ASSERT_GE(pages.size(), 11u);
    ASSERT_EQ(translations.size(), 5u);
    for (const std::wstring& name : translations) {
        const std::string shown = toUtf8(name);
        ChmFile chm;
        ASSERT_TRUE(chm.open(keywhirl::testing::programOutputFolder() + L"\\" + name)) << shown;
        for (const std::string& page : pages) {
            std::string englishText;
            std::string text;
            ASSERT_TRUE(english.read(widen(page), englishText)) << page;
            EXPECT_TRUE(chm.read(widen(page), text)) << shown << " has no " << page;
            const size_t englishLength = textLength(englishText);
            const size_t length = textLength(text);
            EXPECT_TRUE(shapeOf(page, text) == shapeOf(page, englishText)) << shown << " " << page;
            EXPECT_GE(length * 100, englishLength * kLeastPercent)
                << shown << " " << page << ": " << length << " characters against " << englishLength
                << " in English";
        }
    }
    ::CoUninitialize();
}

class HelpFileTexts : public HelpFile {
protected:
    void SetUp() override {
        HelpFile::SetUp();
        keywhirl::Settings::destroyInstance();
        keywhirl::setFolderOverrides(keywhirl::testing::programOutputFolder(), folder.path());
        keywhirl::Settings::instance()->l10nLanguageCode = L"ENU";
        keywhirl::LocalizationManager::reload();
    }
    void TearDown() override {
        keywhirl::LocalizationManager::destroyInstance();
        keywhirl::Settings::destroyInstance();
        keywhirl::resetFolderOverrides();
    }

    keywhirl::testing::TempFolder folder;
};

TEST_F(HelpFileTexts, TrayMenuPageUsesTheMenusOwnTexts) {
    ASSERT_EQ(keywhirl::LocalizationManager::instance()->getCurrentLocale().toString(), L"ENU");
    keywhirl::ResourceBundle menu =
        keywhirl::LocalizationManager::instance()->getBundle(L"MainMenu");
    std::string menuPage = page("html/traymenu.html");
    for (const wchar_t* key : {L"autoPopup", L"metronome", L"keypressSound", L"showShortStatistics",
                               L"autorun", L"settings", L"help", L"aboutKeywhirl", L"exit",
                               L"weakKeys", L"resetWeakKeys", L"pause"}) {
        std::string text = toUtf8(menu.getString(key));
        ASSERT_FALSE(text.empty()) << toUtf8(key);
        // The page names the item as it reads, without its access letter's mark.
        if (const size_t mark = text.find('&'); mark != std::string::npos)
            text.erase(mark, 1);
        EXPECT_NE(menuPage.find(">" + text + "<"), std::string::npos)
            << "the tray menu page does not show the item \"" << text << "\"";
    }
}

TEST_F(HelpFileTexts, LanguagesPageListsEveryInstalledLanguage) {
    std::vector<keywhirl::LocalizationManager::Language> languages =
        keywhirl::LocalizationManager::instance()->getLanguages();
    ASSERT_GE(languages.size(), 2u);
    std::string languagesPage = page("html/languages.html");
    for (const auto& language : languages) {
        EXPECT_NE(languagesPage.find("<td>" + toUtf8(language.first)), std::string::npos)
            << toUtf8(language.first);
        EXPECT_NE(languagesPage.find("<code>" + toUtf8(language.second) + ".xml</code>"),
                  std::string::npos)
            << toUtf8(language.second);
    }
}

} // namespace
