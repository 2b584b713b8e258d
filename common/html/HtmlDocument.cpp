#include "common/html/HtmlDocument.h"

#include "common/html/HtmlVocabulary.h"

#include <algorithm>

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

// The first `ch` from `pos` on, or `end`. Runs between tags are short: a
// loop here costs less than a call.
const wchar_t* FindCharacter(const wchar_t* pos, const wchar_t* end, wchar_t ch)
{
    while (pos < end && *pos != ch)
        ++pos;
    return pos;
}

// A tag's text cut into its parts, pointing into that text (pointers rather
// than views: they stay in registers on every target).
struct TagParts
{
    bool closing = false;
    const wchar_t* name = nullptr;
    const wchar_t* nameEnd = nullptr; // the rest, everything after the name, runs from here
    const wchar_t* end = nullptr;

    size_t NameLength() const { return static_cast<size_t>(nameEnd - name); }
    std::wstring_view Rest() const { return std::wstring_view(nameEnd, static_cast<size_t>(end - nameEnd)); }
};

TagParts SplitTag(const wchar_t* begin, const wchar_t* end)
{
    TagParts parts;
    if (begin < end && *begin == L'/') {
        parts.closing = true;
        ++begin;
    }
    const wchar_t* nameEnd = begin;
    while (nameEnd < end && !IsNameEnd(*nameEnd))
        ++nameEnd;
    parts.name = begin;
    parts.nameEnd = nameEnd;
    parts.end = end;
    return parts;
}

void ParseAttributes(std::wstring_view text, std::vector<std::pair<std::wstring, std::wstring>>& attributes)
{
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == L' ')
            ++pos;
        size_t nameStart = pos;
        while (pos < text.size() && !IsNameEnd(text[pos]))
            ++pos;
        std::wstring_view name = text.substr(nameStart, pos - nameStart);
        std::wstring_view value;
        if (pos < text.size() && text[pos] == L'=') {
            ++pos;
            if (pos < text.size() && (text[pos] == L'\'' || text[pos] == L'"')) {
                wchar_t quote = text[pos++];
                size_t end = std::min(text.find(quote, pos), text.size());
                value = text.substr(pos, end - pos);
                pos = end + 1;
            } else {
                size_t end = std::min(text.find(L' ', pos), text.size());
                value = text.substr(pos, end - pos);
                pos = end;
            }
        }
        if (!name.empty())
            attributes.emplace_back(name, value);
    }
}

} // namespace

void HtmlNode::Reset()
{
    isText = false;
    code = 0;
    text.clear();
    tag.clear();
    info = nullptr;
    attributes.clear();
    children.clear();
    parent = nullptr;
    boxes.clear();
}

const std::wstring& HtmlNode::Canonical() const
{
    static const std::wstring none;
    return info ? info->canonical : none;
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
    const TagParts parts = SplitTag(tagText.data(), tagText.data() + tagText.size());
    ParsedTag tag;
    tag.name.assign(parts.name, parts.NameLength());
    tag.closing = parts.closing;
    tag.rest = parts.Rest();
    ParseAttributes(parts.Rest(), tag.attributes);
    return tag;
}

void HtmlDocument::Clear()
{
    m_root.children.clear();
    m_run.reset();
    m_pool.Clear();
    m_root.boxes.clear();
    m_open = &m_root;
    m_openDepth = 0;
}

const HtmlNode* HtmlDocument::FindById(const std::wstring& id) const
{
    return FindByIdIn(m_root, id);
}

void HtmlDocument::Parse(std::wstring_view markup)
{
    Clear();
    Read(markup);
    Finish();
}

void HtmlDocument::ParseBody(std::wstring_view markup)
{
    Clear();
    const std::wstring_view body = L"body";
    AddTag(body.data(), body.data() + body.size());
    Read(markup);
    Finish();
}

void HtmlDocument::Finish()
{
    EndText();
    m_open = &m_root;
    m_openDepth = 0;
}

void HtmlDocument::Read(std::wstring_view markup)
{
    const wchar_t* pos = markup.data();
    const wchar_t* const end = pos + markup.size();
    while (pos < end) {
        if (*pos != L'<') {
            const wchar_t* next = FindCharacter(pos, end, L'<');
            AddText(pos, static_cast<size_t>(next - pos));
            pos = next;
            continue;
        }
        if (pos + 1 == end || pos[1] == L'<') {
            AddText(pos, 1);
            pos += 2;
            continue;
        }
        // A tag left open reaches to the end.
        const wchar_t* close = FindCharacter(pos + 1, end, L'>');
        EndText();
        AddTag(pos + 1, close);
        pos = close + 1;
    }
}

HtmlNode* HtmlDocument::Append(PoolPtr<HtmlNode> node)
{
    node->parent = m_open;
    m_open->children.push_back(std::move(node));
    return m_open->children.back().get();
}

void HtmlDocument::AddText(const wchar_t* characters, size_t count)
{
    if (count == 0)
        return;
    if (!m_run) {
        m_run = m_pool.Make();
        m_run->isText = true;
    }
    m_run->text.append(characters, count);
}

void HtmlDocument::EndText()
{
    if (m_run)
        Append(std::move(m_run));
}

void HtmlDocument::AddTag(const wchar_t* begin, const wchar_t* end)
{
    const TagParts parts = SplitTag(begin, end);
    const TagInfo* info = FindTag(parts.name, parts.NameLength());
    if (!info)
        return;
    if (parts.closing) {
        CloseTag(*info);
        return;
    }
    auto node = m_pool.Make();
    // Names are short: added a character at a time, they take the inline path.
    for (const wchar_t* ch = parts.name; ch != parts.nameEnd; ++ch)
        node->tag.push_back(*ch);
    node->code = info->code;
    node->info = info;
    if (parts.nameEnd != parts.end) {
        node->text.assign(parts.nameEnd, parts.end);
        ParseAttributes(parts.Rest(), node->attributes);
    }
    HtmlNode* added = Append(std::move(node));
    if (!IsVoidTag(added->code) && m_openDepth < kMaxDepth) {
        m_open = added;
        ++m_openDepth;
    }
}

void HtmlDocument::CloseTag(const TagInfo& info)
{
    if (IsVoidTag(info.code))
        return;
    bool structural = info.code == kTagTable || info.code == kTagRow || info.code == kTagCell;
    if (!structural) {
        if (m_open != &m_root && m_open->Canonical() == info.canonical) {
            m_open = m_open->parent;
            --m_openDepth;
        }
        return;
    }
    // A table part closes everything opened inside it, but never leaves the
    // table it belongs to.
    int depth = m_openDepth;
    for (HtmlNode* node = m_open; node && node != &m_root; node = node->parent, --depth) {
        if (node->code == info.code) {
            m_open = node->parent;
            m_openDepth = depth - 1;
            return;
        }
        if (node->code == kTagTable)
            return;
    }
}

} // namespace html
