// src/about/CFileVersionInfo.h - the version resource of a program file.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace keywhirl {

// Reads the fixed block and the twelve standard strings of a file's version
// resource, in the language that suits the user best. Until a successful
// Open everything is empty (the fixed block all zeros).
class CFileVersionInfo {
public:
    // One entry of "\VarFileInfo\Translation".
    struct Translation {
        WORD language;
        WORD codePage;
    };

    CFileVersionInfo();
    virtual ~CFileVersionInfo() = default;
    CFileVersionInfo(const CFileVersionInfo&) = default;
    CFileVersionInfo& operator=(const CFileVersionInfo&) = default;

    // Forgets what was read: zero fixed block, empty strings.
    virtual void Reset();

    // The file of module, or of the running program when module is null.
    // False (and everything reset) when the file has no version resource.
    bool Open(HMODULE module = nullptr);
    bool Open(const std::wstring& fileName);

    // Which of the translations to read the strings in: the user's language
    // exactly, else the same primary language, else a neutral one, else
    // English, else the first. -1 for an empty list.
    static int ChooseTranslation(const std::vector<Translation>& translations, LANGID userLanguage);

    const VS_FIXEDFILEINFO& GetFixedFileInfo() const { return fixedInfo; }
    // Major, minor, build, revision of the product version from the fixed
    // block (all zero when the block was missing).
    std::array<WORD, 4> GetFixedProductVersion() const;

    const std::wstring& GetCompanyName() const { return strings[CompanyName]; }
    const std::wstring& GetFileDescription() const { return strings[FileDescription]; }
    const std::wstring& GetFileVersion() const { return strings[FileVersion]; }
    const std::wstring& GetInternalName() const { return strings[InternalName]; }
    const std::wstring& GetLegalCopyright() const { return strings[LegalCopyright]; }
    const std::wstring& GetOriginalFileName() const { return strings[OriginalFileName]; }
    const std::wstring& GetProductName() const { return strings[ProductName]; }
    const std::wstring& GetProductVersion() const { return strings[ProductVersion]; }
    const std::wstring& GetComments() const { return strings[Comments]; }
    const std::wstring& GetLegalTrademarks() const { return strings[LegalTrademarks]; }
    const std::wstring& GetPrivateBuild() const { return strings[PrivateBuild]; }
    const std::wstring& GetSpecialBuild() const { return strings[SpecialBuild]; }

private:
    enum StringIndex {
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        OriginalFileName,
        ProductName,
        ProductVersion,
        Comments,
        LegalTrademarks,
        PrivateBuild,
        SpecialBuild,
        StringCount
    };

    VS_FIXEDFILEINFO fixedInfo;
    std::array<std::wstring, StringCount> strings;
};

} // namespace keywhirl
