#pragma once

// The parsed form of a tooltip text: a tree of elements (tag, attributes,
// children) and text runs. Unknown tags are dropped; a closing tag closes the
// innermost open element when their canonical names match and is ignored
// otherwise; "table", "tr" and "td" close what is open inside them. Layout
// writes each node's boxes (where it was drawn) back into the tree.

#include <windows.h>

#include "common/html/NodePool.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace html
{

struct TagInfo;

struct HtmlNode
{
    bool isText = false;
    int code = 0;
    std::wstring text;             // text runs: the characters; elements: the tag's text after its name
    std::wstring tag;              // the name as written ("i", "em", "td", ...)
    const TagInfo* info = nullptr; // elements: the tag's entry in the tag table
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<PoolPtr<HtmlNode>> children;
    HtmlNode* parent = nullptr;
    std::vector<RECT> boxes; // where the last draw put it (device coordinates)

    // Empties the node for the next tree, keeping the room of its lists (a
    // field added above is emptied there too).
    void Reset();

    // The tag's canonical name ("italic" for "i" and "em"); empty for text.
    const std::wstring& Canonical() const;

    // The attribute's value; false when the element does not have it.
    bool GetAttribute(const std::wstring& name, std::wstring& value) const;
    bool HasAttribute(const std::wstring& name) const;
    // The attribute's value, or `fallback`.
    std::wstring Attribute(const std::wstring& name, const std::wstring& fallback = std::wstring()) const;
};

class HtmlDocument
{
public:
    // Parses markup whose entities are already replaced (see PrepareMarkup).
    void Parse(std::wstring_view markup);
    // Parses the markup as the content of a "body" element, as Parse does
    // "<body>" + markup + "</body>" with no such copy; but a tag or "<" left
    // open at the end reads as with Parse, never taking in that closing tag.
    void ParseBody(std::wstring_view markup);
    void Clear();

    HtmlNode& Root() { return m_root; }
    const HtmlNode& Root() const { return m_root; }
    bool IsEmpty() const { return m_root.children.empty(); }

    // The first element with that "id" attribute, depth first; null when none.
    const HtmlNode* FindById(const std::wstring& id) const;

private:
    // Reads the markup into the tree below the open element.
    void Read(std::wstring_view markup);
    // Adds characters to the text run being read.
    void AddText(const wchar_t* characters, size_t count);
    // Puts the text run read so far into the tree.
    void EndText();
    // The tag whose text (between "<" and ">") runs from `begin` to `end`.
    void AddTag(const wchar_t* begin, const wchar_t* end);
    void CloseTag(const TagInfo& info);
    HtmlNode* Append(PoolPtr<HtmlNode> node);
    void Finish();

    // The pool before the root: the root's children point into it.
    NodePool<HtmlNode> m_pool;
    HtmlNode m_root;
    HtmlNode* m_open = &m_root;
    int m_openDepth = 0;     // how deep m_open is below the root
    PoolPtr<HtmlNode> m_run; // the text run being read; null when none
};

// Splits a tag's text into name, closing flag and attributes.
struct ParsedTag
{
    std::wstring name;
    bool closing = false;
    std::wstring rest; // everything after the name
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
};
ParsedTag ParseTagText(const std::wstring& tagText);

} // namespace html
