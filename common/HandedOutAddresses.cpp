#include "common/HandedOutAddresses.h"

#include <algorithm>
#include <cwchar>
#include <limits>
#include <mutex>
#include <vector>

#include "common/SharedLog.h"

namespace
{
struct HandedOutBlock
{
    HandOverKind kind;
    const BYTE* begin;
    size_t bytes;
};

class CHandedOutBlocks
{
public:
    void Add(const HandedOutBlock& block)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_blocks.push_back(block);
    }

    void Remove(const void* address)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = std::find_if(m_blocks.rbegin(), m_blocks.rend(),
                                        [&](const HandedOutBlock& block) { return block.begin == address; });
        if (found != m_blocks.rend())
            m_blocks.erase(std::next(found).base());
    }

    // Runs `use` with the bytes of the block that follow `address` when at least `bytes` of them
    // lie in one block of that kind.
    bool Use(HandOverKind kind, const void* address, size_t bytes, const std::function<void(size_t)>& use)
    {
        const auto* begin = static_cast<const BYTE*>(address);
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const HandedOutBlock& block : m_blocks) {
            if (block.kind != kind || begin < block.begin)
                continue;
            const size_t offset = static_cast<size_t>(begin - block.begin);
            if (offset > block.bytes || bytes > block.bytes - offset)
                continue;
            use(block.bytes - offset);
            return true;
        }
        return false;
    }

private:
    std::mutex m_mutex;
    std::vector<HandedOutBlock> m_blocks;
};

CHandedOutBlocks& HandedOutBlocks()
{
    static CHandedOutBlocks blocks;
    return blocks;
}
} // namespace

CHandOverScope::CHandOverScope(HandOverKind kind, const void* address, size_t bytes) : m_address(address)
{
    HandedOutBlocks().Add(HandedOutBlock{kind, static_cast<const BYTE*>(address), bytes});
}

CHandOverScope::~CHandOverScope()
{
    HandedOutBlocks().Remove(m_address);
}

bool UseHandedOut(HandOverKind kind, const void* address, size_t bytes, const std::function<void()>& use)
{
    if (!address)
        return false;
    return HandedOutBlocks().Use(kind, address, bytes, [&](size_t) { use(); });
}

bool IsHandedOut(HandOverKind kind, const void* address, size_t bytes)
{
    return UseHandedOut(kind, address, bytes, [] {});
}

CString ReadHandedOutText(LPARAM address, const wchar_t* what)
{
    const auto* text = reinterpret_cast<const wchar_t*>(address);
    CString result;
    bool terminated = false;
    if (text) {
        HandedOutBlocks().Use(HandOverKind::Text, text, sizeof(wchar_t), [&](size_t bytes) {
            const size_t chars = wcsnlen(text, bytes / sizeof(wchar_t));
            terminated = chars < bytes / sizeof(wchar_t);
            if (terminated)
                result = CString(text, static_cast<int>(chars));
        });
    }
    if (!terminated)
        WriteLogLine(CString(what) + L": the text is not one this process handed out, ignored");
    return result;
}

CTextHandOverScope::CTextHandOverScope(const wchar_t* text)
    : CHandOverScope(HandOverKind::Text, text, text ? (wcslen(text) + 1) * sizeof(wchar_t) : 0)
{}

bool CopyToHandedOutBuffer(WPARAM size, LPARAM buffer, const CString& text, const wchar_t* what)
{
    if (size == 0 || size > static_cast<WPARAM>(std::numeric_limits<int>::max()))
        return false;
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    const bool copied = UseHandedOut(HandOverKind::Buffer, out, static_cast<size_t>(size) * sizeof(wchar_t),
                                     [&] { ::lstrcpynW(out, text.GetString(), static_cast<int>(size)); });
    if (!copied)
        WriteLogLine(CString(what) + L": the buffer is not one this process handed out, ignored");
    return copied;
}
