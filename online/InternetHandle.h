#pragma once

// Ownership of one WinInet handle (session, connection or request): closed
// with InternetCloseHandle when the object goes away.

#include <windows.h>
#include <wininet.h>

#include <utility>

class CInternetHandle
{
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(CInternetHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CInternetHandle& operator=(CInternetHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Close()
    {
        if (m_handle)
            ::InternetCloseHandle(std::exchange(m_handle, nullptr));
    }

private:
    HINTERNET m_handle = nullptr;
};
