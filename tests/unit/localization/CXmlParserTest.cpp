// tests/unit/localization/CXmlParserTest.cpp
#include "localization/CXmlParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keywhirl {
namespace {

// name[attributes]'text'(children...) - empty parts are left out.
std::wstring dump(const CXmlElement& element) {
    std::wstring out = element.GetName();
    if (!element.GetAttributes().empty())
        out += L"[" + element.GetAttributes() + L"]";
    if (!element.GetText().empty())
        out += L"'" + element.GetText() + L"'";
    if (element.GetChildCount() > 0) {
        out += L"(";
        for (std::size_t i = 0; i < element.GetChildCount(); ++i) {
            if (i > 0)
                out += L",";
            out += dump(*element.GetChild(i));
        }
        out += L")";
    }
    return out;
}

std::wstring parsed(const std::wstring& text) {
    CXmlParser parser;
    EXPECT_EQ(parser.Parse(text), 1) << "parsing never fails";
    return dump(*parser.GetRoot());
}

struct ParseCase {
    const wchar_t* what;
    const wchar_t* text;
    const wchar_t* tree;
};

TEST(CXmlParser, BuildsTheTreeByItsOwnLenientRules) {
    const ParseCase cases[] = {
        {L"plain profile",
         L"<content><section name=\"a\"><key name=\"k\" value=\"v\"/></section></content>",
         L"content(section[name=\"a\"](key[name=\"k\" value=\"v\"]))"},
        {L"declaration and comment before the root are skipped, the gap trimmed",
         L"<?xml version=\"1.0\"?>\r\n<!-- note -->\r\n\t<content></content>", L"content"},
        {L"line breaks and tabs inside a tag are spaces",
         L"<content\tx=\"1\"\n><a\r\nb=\"2\"/></content>", L"content[x=\"1\"](a[b=\"2\"])"},
        {L"a gap after a comment inside the root spoils the next tag's name",
         L"<content>\n<!-- x -->\n  <section name=\"a\"><key name=\"k\"/></section></content>",
         L"content([section name=\"a\"](key[name=\"k\"]))"},
        {L"a comment right in front of a tag does no harm",
         L"<content><!-- x --><section name=\"a\"/></content>", L"content(section[name=\"a\"])"},
        {L"a '>' inside a comment ends it early", L"<content><!-- a > b --><key/></content>",
         L"content([b --](key))"},
        {L"processing instruction inside the root", L"<content><?pi x?><a/></content>",
         L"content(a)"},
        {L"CDATA is not understood", L"<content><![CDATA[x>y]]><a/></content>", L"content(y]](a))"},
        {L"end tags close whatever is open",
         L"<content><section name=\"a\"></wrong><section name=\"b\"/></content>",
         L"content(section[name=\"a\"],section[name=\"b\"])"},
        {L"extra end tags stop at the root", L"<content></a></b><c/></content>", L"content(c)"},
        {L"text is trimmed and the last piece wins",
         L"<content>  hello  <a> x </a> tail </content>", L"content'tail'(a'x')"},
        {L"a stray '>' in text opens a nameless element", L"<content>a > b<c/></content>",
         L"content((c))"},
        {L"a '<' inside a tag is dropped", L"<content><a<b></content>", L"content(ab)"},
        {L"'</' anywhere makes an end tag", L"<content><x</y><z/></content>", L"content(z)"},
        {L"'</>' closes a nameless empty element", L"<content><a></></content>", L"content(a())"},
        {L"a space before the name empties it", L"<content>< key>x</content>",
         L"content([key]'x')"},
        {L"the root's body is trimmed", L"<  content   a=\"1\"  ></content>", L"content[a=\"1\"]"},
        {L"an empty-element root", L"<content/><section name=\"a\"/>",
         L"content(section[name=\"a\"])"},
        {L"an empty tag cannot name the root", L"<><content><a/></content>", L"content(a)"},
        {L"a slash not before '>' stays in the name", L"<content><a/b/></content>",
         L"content(a/b)"},
        {L"truncated inside a tag", L"<content><section name=\"a\"><key name=\"k\" val",
         L"content(section[name=\"a\"])"},
        {L"truncated inside the root tag", L"<cont", L""},
        {L"only text", L"just some words", L""},
        {L"only a comment", L"<!-- nothing -->", L""},
        {L"a comment without its end runs to the first '>'",
         L"<content><!-- open <a/><b/></content>", L"content(b)"},
        {L"empty text", L"", L""},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(parsed(c.text), c.tree) << c.what;
}

TEST(CXmlParser, ParsingAgainStartsFromAnEmptyTree) {
    CXmlParser parser;
    parser.Parse(L"<content x=\"1\">t<a/><b/></content>");
    parser.Parse(L"<other/>");
    EXPECT_EQ(dump(*parser.GetRoot()), L"other");
    parser.Parse(L"no markup");
    EXPECT_EQ(dump(*parser.GetRoot()), L"");
}

TEST(CXmlParser, IteratesChildrenThroughTheElementsCursor) {
    CXmlParser parser;
    parser.Parse(L"<content><a/><b><x/></b><c/></content>");
    CXmlElement* root = parser.GetRoot();
    std::wstring names;
    for (CXmlElement* child = parser.GetFirstChild(root); child;
         child = parser.GetNextChild(root)) {
        names += child->GetName();
        EXPECT_EQ(child->GetParent(), root);
    }
    EXPECT_EQ(names, L"abc");
    EXPECT_EQ(parser.GetNextChild(root), nullptr) << "stays at the end";
    EXPECT_EQ(parser.GetFirstChild(root)->GetName(), L"a") << "first child rewinds";

    CXmlElement* b = root->GetChild(1);
    EXPECT_EQ(parser.GetFirstChild(b)->GetName(), L"x");
    EXPECT_EQ(parser.GetNextChild(b), nullptr);
    EXPECT_EQ(parser.GetNextChild(root)->GetName(), L"b") << "each element has its own cursor";
    EXPECT_EQ(parser.GetFirstChild(nullptr), nullptr);
}

struct AttributeCase {
    const wchar_t* attributes;
    const wchar_t* name;
    std::wstring value;
};

std::wstring attribute(const std::wstring& attributes, const std::wstring& name) {
    CXmlParser parser;
    parser.Parse(L"<content " + attributes + L"/>");
    return parser.GetAttribute(parser.GetRoot(), name);
}

TEST(CXmlParser, FindsAttributesByAPlainSubstringSearch) {
    const AttributeCase cases[] = {
        {L"name=\"a\" value=\"b\"", L"name", L"a"},
        {L"name=\"a\" value=\"b\"", L"value", L"b"},
        {L"name=\"a\"", L"value", L""},
        {L"filename=\"f\" name=\"n\"", L"name", L"f"}, // the first "name=" is inside "filename="
        {L"name = \"a\"", L"name", L""},               // no space allowed before '='
        {L"name=\"\"", L"name", L""},
        {L"name=\"abc", L"name", L"abc"},                      // no closing quote: the rest
        {L"name='abc' value='x'", L"name", L"abc' value='x'"}, // only double quotes end it
        {L"name=xyz other=\"1\"", L"name", L"yz other="},      // the quote is skipped unseen
        {L"name=", L"name", L""},
        {L"name=\"", L"name", L""},
        {L"name=\"a b  c\"", L"name", L"a b  c"}, // inner spaces stay
        {L"name=\" padded \"", L"name", L" padded "},
        {L"Name=\"a\"", L"name", L""}, // attribute names are exact
    };
    for (const AttributeCase& c : cases)
        EXPECT_EQ(attribute(c.attributes, c.name), c.value) << c.attributes << L" / " << c.name;
}

TEST(CXmlParser, DecodesEntitiesInTheirFixedOrderAndDecimalReferencesOnly) {
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"a &amp; b", L"a & b"},
        {L"&quot;q&quot;", L"\"q\""},
        {L"&lt;tag&gt;", L"<tag>"},
        {L"&amp;lt;", L"<"},         // the ampersand goes first
        {L"&amp;amp;", L"&"},        // double-escaped ampersand
        {L"&amp;amp;amp;lt;", L"<"}, // replaced until none is left
        {L"&lt;amp;", L"<amp;"},     // too late for the ampersand
        {L"&gt;lt;", L">lt;"},
        {L"&apos;&nbsp;&AMP;", L"&apos;&nbsp;&AMP;"}, // nothing else is known
        {L"&#1040;", L"\x0410"},
        {L"&#x410;", L"&#x410;"}, // hexadecimal stays
        {L"&#X410;", L"&#X410;"},
        {L"&#65;&#66;&#65;", L"ABA"},
        {L"&#065;", L"&#065;"}, // "%d" would not print a leading zero
        {L"&#+65;", L"&#+65;"},
        {L"&# 65;", L"&# 65;"},
        {L"&#-65;", L"&#-65;"}, // names no character
        {L"&#0;", L"&#0;"},
        {L"&#;", L"&#;"},
        {L"&#65", L"&#65"},               // no ';'
        {L"&#1114111;", L"\xDBFF\xDFFF"}, // the last code point, as a surrogate pair
        {L"&#128512;", L"\xD83D\xDE00"},
        {L"&#1114112;", L"&#1114112;"},
        {L"&#99999999999;", L"&#99999999999;"},
        {L"&amp;#1040;", L"\x0410"}, // entities first, then references
        {L"&#38;amp;", L"&amp;"},    // a decoded '&' is not an entity any more
        {L"&#38;#65;", L"&#65;"},    // nor the start of a reference already passed
        {L"&#38;#38;", L"&"},        // but every occurrence goes, new ones too
        {L"&#38;#65;&#65;", L"AA"},  // a later reference replaces the one made earlier
        {L"&#6&#53;;", L"&#65;"},    // made behind the search: stays
        {L"&#35;&&#35;65;", L"#A"},
        {L"x&#60;y&#62;", L"x<y>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(attribute(L"value=\"" + std::wstring(c.first) + L"\"", L"value"), c.second)
            << c.first;
}

TEST(CXmlParser, SkippedTagsLeaveTheirTailInFrontOfTheNextTag) {
    CXmlParser parser;
    parser.Parse(L"<content><!-- c -->tail<key name=\"k\"/></content>");
    CXmlElement* key = parser.GetFirstChild(parser.GetRoot());
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetName(), L"tailkey");
    EXPECT_EQ(parser.GetAttribute(key, L"name"), L"k") << "the attributes survive";
}

} // namespace
} // namespace keywhirl
