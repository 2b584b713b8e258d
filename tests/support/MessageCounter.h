#pragma once
// A message-only window of the calling thread that counts the application messages (WM_APP and
// above) sent or posted to it with both parameters 0, as signals post them.

#include <windows.h>

#include <map>

namespace scvtest
{

class MessageCounter
{
public:
    MessageCounter();
    ~MessageCounter();
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    HWND Get() const { return m_window; }
    // How many times the message came so far.
    int Count(UINT message) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::map<UINT, int> m_counts;
    HWND m_window = nullptr;
};

} // namespace scvtest
