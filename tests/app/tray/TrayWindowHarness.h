#pragma once
// The tray window made in this test process as the program makes it, from a command line.
// Derive a fixture from it: the window goes when the fixture does, and a WM_QUIT its exit
// command posted stays out of the following tests.

#include <windows.h>

#include <memory>

#include "app/entry/CommandLineArgs.h"
#include "app/tray/SCVTrayWnd.h"

namespace scvtest
{

class TrayWindowHarness
{
protected:
    TrayWindowHarness() = default;
    ~TrayWindowHarness() { DestroyTrayWindow(); }
    TrayWindowHarness(const TrayWindowHarness&) = delete;
    TrayWindowHarness& operator=(const TrayWindowHarness&) = delete;

    // Makes the window (m_window); false when its creation failed.
    bool CreateTrayWindow(const wchar_t* commandLine, bool noInstall)
    {
        m_args = std::make_unique<CCommandLineArgs>(commandLine);
        m_args->Parse();
        // The stop events stay open for the rest of the run: worker threads may still hold them.
        m_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_window = std::make_unique<CSCVTrayWnd>(TrayWindowStartRecord{m_stopEvent, m_args.get(), noInstall});
        return m_window->Create(nullptr);
    }
    void DestroyTrayWindow()
    {
        m_window.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::unique_ptr<CCommandLineArgs> m_args;
    std::unique_ptr<CSCVTrayWnd> m_window;
    HANDLE m_stopEvent = nullptr;
};

} // namespace scvtest
