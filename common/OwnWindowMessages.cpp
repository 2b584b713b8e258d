#include "common/OwnWindowMessages.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
struct OwnMessage
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;

    bool operator==(const OwnMessage& other) const
    {
        return window == other.window && message == other.message && wParam == other.wParam &&
               lParam == other.lParam;
    }
};

// Posts of windows destroyed before their handler ran are dropped once this many wait.
constexpr size_t kMostExpected = 256;

class CExpectedMessages
{
public:
    void Add(const OwnMessage& message)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_expected.size() >= kMostExpected)
            m_expected.erase(std::remove_if(m_expected.begin(), m_expected.end(),
                                            [](const OwnMessage& old) { return !::IsWindow(old.window); }),
                             m_expected.end());
        if (m_expected.size() >= kMostExpected)
            m_expected.erase(m_expected.begin());
        m_expected.push_back(message);
    }

    bool Take(const OwnMessage& message)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = std::find(m_expected.begin(), m_expected.end(), message);
        if (found == m_expected.end())
            return false;
        m_expected.erase(found);
        return true;
    }

private:
    std::mutex m_mutex;
    std::vector<OwnMessage> m_expected;
};

CExpectedMessages& ExpectedMessages()
{
    static CExpectedMessages expected;
    return expected;
}
} // namespace

bool PostOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const OwnMessage own{window, message, wParam, lParam};
    ExpectedMessages().Add(own);
    if (::PostMessageW(window, message, wParam, lParam))
        return true;
    ExpectedMessages().Take(own);
    return false;
}

LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const OwnMessage own{window, message, wParam, lParam};
    ExpectedMessages().Add(own);
    const LRESULT result = ::SendMessageW(window, message, wParam, lParam);
    ExpectedMessages().Take(own); // left when the window never saw it
    return result;
}

bool TakeOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ExpectedMessages().Take(OwnMessage{window, message, wParam, lParam});
}
