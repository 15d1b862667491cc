// src/localization/CXmlProfile.h - a file of named sections holding named
// key/value pairs, read through CXmlParser and written back in the same layout.
#pragma once

#include "localization/CXmlKey.h"
#include "localization/CXmlSection.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace keywhirl {

class CXmlParser;

// The layout:
//   <content>
//       <section name="..." [readonly="1"]>
//           <key name="..." value="..." [readonly="1"]/>
//       </section>
//   </content>
// Section and key names match without regard to the case of A-Z; element and
// attribute names match exactly.
class CXmlProfile {
public:
    CXmlProfile();
    virtual ~CXmlProfile();
    CXmlProfile(const CXmlProfile&) = delete;
    CXmlProfile& operator=(const CXmlProfile&) = delete;

    // Reads the file in an encoding mode of CXmlParser::Encoding. 1 on success;
    // 0 when the file can't be read, and also when a section name comes twice:
    // the sections in front of the second one stay available then.
    int Load(const std::wstring& path, int encoding);
    // Saves to the file of the last load if modified and `save` is true, then
    // forgets that a file is loaded.
    void Close(bool save);
    // Writes every key with a name and a value, as UTF-16 with the mark FF FE
    // (modes 0 and 2) or in the ANSI code page (mode 1). Names and values are
    // written as they are, without escaping. A file that can't be created is
    // left alone.
    void Save(const std::wstring& path, int encoding);

    int GetSectionCount() const;
    // Copies of the sections' names and read-only flags, without their keys,
    // in file order; a null array only counts.
    int GetSections(std::vector<CXmlSection>* result) const;
    // 0 for a section that does not exist.
    int GetKeyCount(const std::wstring& section) const;
    int GetKeys(const std::wstring& section, std::vector<CXmlKey>* result) const;
    // The key's value, or `defaultValue` when either name is empty or missing.
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue) const;

    // What the last load passed over.
    int GetDuplicateKeyCount() const { return duplicateKeys; }
    int GetSkippedKeyCount() const { return skippedKeys; }
    bool HasDuplicateSection() const { return duplicateSection; }
    // With the check on (the default) the first of two keys of one name wins;
    // with it off both are kept and lookups find the first.
    void SetDuplicateKeyCheck(bool on) { checkDuplicateKeys = on; }
    bool IsLoaded() const { return loaded; }
    bool IsModified() const { return modified; }

private:
    void ReadSections(CXmlParser& parser);
    const CXmlSection* FindSection(const std::wstring& name) const;
    void Write(HANDLE file, const std::wstring& piece, bool unicode);

    std::vector<std::unique_ptr<CXmlSection>> sections;
    std::wstring fileName;
    int encoding;
    int duplicateKeys;
    int skippedKeys;
    bool duplicateSection;
    bool checkDuplicateKeys;
    bool loaded;
    bool modified;
    std::wstring contentElement;
    std::wstring sectionElement;
    std::wstring keyElement;
    std::wstring nameAttribute;
    std::wstring valueAttribute;
    std::wstring readOnlyAttribute;
    // Kept between writes in the ANSI code page.
    std::vector<char> writeBuffer;
    // Folded section name to its position in `sections`.
    std::unordered_map<std::wstring, std::size_t> sectionIndex;
};

} // namespace keywhirl
