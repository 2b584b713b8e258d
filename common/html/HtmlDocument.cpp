#include "common/html/HtmlDocument.h"

#include "common/html/HtmlVocabulary.h"

#include <algorithm>
#include <tuple>

namespace html
{
namespace
{

// Deeper elements are kept as empty elements; their content joins the parent.
const int kMaxDepth = 200;

bool IsNameEnd(wchar_t ch)
{
    return ch == L' ' || ch == L'=';
}

const HtmlNode* FindByIdIn(const HtmlNode& node, const std::wstring& id)
{
    std::wstring value;
    if (!node.isText && node.GetAttribute(L"id", value) && value == id)
        return &node;
    for (const auto& child : node.children) {
        if (const HtmlNode* found = FindByIdIn(*child, id))
            return found;
    }
    return nullptr;
}

std::vector<std::pair<std::wstring, std::wstring>> ParseAttributes(const std::wstring& text)
{
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == L' ')
            ++pos;
        size_t nameStart = pos;
        while (pos < text.size() && !IsNameEnd(text[pos]))
            ++pos;
        std::wstring name = text.substr(nameStart, pos - nameStart);
        std::wstring value;
        if (pos < text.size() && text[pos] == L'=') {
            ++pos;
            if (pos < text.size() && (text[pos] == L'\'' || text[pos] == L'"')) {
                wchar_t quote = text[pos++];
                size_t end = text.find(quote, pos);
                if (end == std::wstring::npos)
                    end = text.size();
                value = text.substr(pos, end - pos);
                pos = end + 1;
            } else {
                size_t end = text.find(L' ', pos);
                if (end == std::wstring::npos)
                    end = text.size();
                value = text.substr(pos, end - pos);
                pos = end;
            }
        }
        if (!name.empty())
            attributes.emplace_back(name, value);
    }
    return attributes;
}

} // namespace

void HtmlNode::Reset()
{
    // Every field back to its default; the lists and text keep their room.
    auto kept =
        std::make_tuple(std::move(text), std::move(attributes), std::move(children), std::move(boxes));
    *this = HtmlNode();
    std::tie(text, attributes, children, boxes) = std::move(kept);
    text.clear();
    attributes.clear();
    children.clear();
    boxes.clear();
}

bool HtmlNode::GetAttribute(const std::wstring& name, std::wstring& value) const
{
    for (const auto& attribute : attributes) {
        if (attribute.first == name) {
            value = attribute.second;
            return true;
        }
    }
    return false;
}

bool HtmlNode::HasAttribute(const std::wstring& name) const
{
    std::wstring ignored;
    return GetAttribute(name, ignored);
}

std::wstring HtmlNode::Attribute(const std::wstring& name, const std::wstring& fallback) const
{
    std::wstring value;
    return GetAttribute(name, value) ? value : fallback;
}

ParsedTag ParseTagText(const std::wstring& tagText)
{
    ParsedTag tag;
    size_t pos = 0;
    if (!tagText.empty() && tagText[0] == L'/') {
        tag.closing = true;
        pos = 1;
    }
    size_t nameEnd = pos;
    while (nameEnd < tagText.size() && !IsNameEnd(tagText[nameEnd]))
        ++nameEnd;
    tag.name = tagText.substr(pos, nameEnd - pos);
    tag.rest = tagText.substr(nameEnd);
    tag.attributes = ParseAttributes(tag.rest);
    return tag;
}

void HtmlDocument::Clear()
{
    m_root.children.clear();
    m_pool.Clear();
    m_root.boxes.clear();
    m_open = &m_root;
    m_openDepth = 0;
}

const HtmlNode* HtmlDocument::FindById(const std::wstring& id) const
{
    return FindByIdIn(m_root, id);
}

void HtmlDocument::Parse(const std::wstring& markup)
{
    Clear();
    size_t pos = 0;
    std::wstring run;
    while (pos < markup.size()) {
        if (markup[pos] != L'<') {
            const size_t next = std::min(markup.find(L'<', pos), markup.size());
            run.append(markup, pos, next - pos);
            pos = next;
            continue;
        }
        if (pos + 1 >= markup.size() || markup[pos + 1] == L'<') {
            run += L'<';
            pos += 2;
            continue;
        }
        AddText(run);
        run.clear();
        size_t close = markup.find(L'>', pos + 1);
        if (close == std::wstring::npos)
            close = markup.size();
        AddTag(markup.substr(pos + 1, close - pos - 1));
        pos = close + 1;
    }
    AddText(run);
    m_open = &m_root;
    m_openDepth = 0;
}

HtmlNode* HtmlDocument::Append(PoolPtr<HtmlNode> node)
{
    node->parent = m_open;
    m_open->children.push_back(std::move(node));
    return m_open->children.back().get();
}

void HtmlDocument::AddText(const std::wstring& text)
{
    if (text.empty())
        return;
    auto node = m_pool.Make();
    node->isText = true;
    node->text = text;
    Append(std::move(node));
}

void HtmlDocument::AddTag(const std::wstring& tagText)
{
    ParsedTag parsed = ParseTagText(tagText);
    const TagInfo* info = FindTag(parsed.name);
    if (!info)
        return;
    if (parsed.closing) {
        CloseTag(parsed.name);
        return;
    }
    auto node = m_pool.Make();
    node->tag = parsed.name;
    node->code = info->code;
    node->canonical = info->canonical;
    node->text = parsed.rest;
    node->attributes = std::move(parsed.attributes);
    HtmlNode* added = Append(std::move(node));
    if (!IsVoidTag(added->code) && m_openDepth < kMaxDepth) {
        m_open = added;
        ++m_openDepth;
    }
}

void HtmlDocument::CloseTag(const std::wstring& name)
{
    const TagInfo* info = FindTag(name);
    if (!info || IsVoidTag(info->code))
        return;
    bool structural = info->code == kTagTable || info->code == kTagRow || info->code == kTagCell;
    if (!structural) {
        if (m_open != &m_root && m_open->canonical == info->canonical) {
            m_open = m_open->parent;
            --m_openDepth;
        }
        return;
    }
    // A table part closes everything opened inside it, but never leaves the
    // table it belongs to.
    int depth = m_openDepth;
    for (HtmlNode* node = m_open; node && node != &m_root; node = node->parent, --depth) {
        if (node->code == info->code) {
            m_open = node->parent;
            m_openDepth = depth - 1;
            return;
        }
        if (node->code == kTagTable)
            return;
    }
}

} // namespace html
