// src/localization/CXmlElement.h - one node of the tree that CXmlParser builds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace keywhirl {

class CXmlElement {
public:
    CXmlElement() = default;
    virtual ~CXmlElement();
    CXmlElement(const CXmlElement&) = delete;
    CXmlElement& operator=(const CXmlElement&) = delete;

    const std::wstring& GetName() const { return name; }
    // Everything in the start tag after the first space, trimmed.
    const std::wstring& GetAttributes() const { return attributes; }
    // The text in front of the next tag, trimmed.
    const std::wstring& GetText() const { return text; }
    CXmlElement* GetParent() const { return parent; }

    void SetName(std::wstring value) { name = std::move(value); }
    void SetAttributes(std::wstring value) { attributes = std::move(value); }
    void SetText(std::wstring value) { text = std::move(value); }

    std::size_t GetChildCount() const { return children.size(); }
    CXmlElement* GetChild(std::size_t index) const;
    // Appends a new child and returns it; this element owns it.
    CXmlElement* AddChild(std::wstring childName, std::wstring childAttributes);

    // Iteration through the element's own cursor: none at the end.
    CXmlElement* FirstChild();
    CXmlElement* NextChild();

    // Deletes the children and clears the name, attribute text and text.
    void Clear();

private:
    // Frees the subtree without recursion: a deeply nested file must not
    // exhaust the stack.
    void DeleteChildren();

    std::wstring name;
    std::wstring attributes;
    std::wstring text;
    std::vector<std::unique_ptr<CXmlElement>> children;
    std::size_t cursor = 0;
    CXmlElement* parent = nullptr;
};

} // namespace keywhirl
