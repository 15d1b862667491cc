// src/localization/CXmlElement.cpp
#include "localization/CXmlElement.h"

namespace keywhirl {

CXmlElement::~CXmlElement() {
    DeleteChildren();
}

CXmlElement* CXmlElement::GetChild(std::size_t index) const {
    return index < children.size() ? children[index].get() : nullptr;
}

CXmlElement* CXmlElement::AddChild(std::wstring childName, std::wstring childAttributes) {
    auto child = std::make_unique<CXmlElement>();
    child->name = std::move(childName);
    child->attributes = std::move(childAttributes);
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

CXmlElement* CXmlElement::FirstChild() {
    cursor = 0;
    return NextChild();
}

CXmlElement* CXmlElement::NextChild() {
    if (cursor >= children.size())
        return nullptr;
    return children[cursor++].get();
}

void CXmlElement::Clear() {
    DeleteChildren();
    name.clear();
    attributes.clear();
    text.clear();
}

void CXmlElement::DeleteChildren() {
    std::vector<std::unique_ptr<CXmlElement>> pending = std::move(children);
    children.clear();
    cursor = 0;
    while (!pending.empty()) {
        std::unique_ptr<CXmlElement> last = std::move(pending.back());
        pending.pop_back();
        for (auto& grandchild : last->children)
            pending.push_back(std::move(grandchild));
        last->children.clear();
        // `last` goes here with no children left to recurse into.
    }
}

} // namespace keywhirl
