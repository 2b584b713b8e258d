#pragma once

// Ownership of one kernel handle (event, file, thread, process...): closed when
// the object goes away. INVALID_HANDLE_VALUE (a failed CreateFileW) is held as
// no handle.

#include <windows.h>

#include <utility>

class CKernelHandle
{
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) : m_handle(Normalize(handle)) {}
    ~CKernelHandle() { Close(); }
    CKernelHandle(CKernelHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CKernelHandle& operator=(CKernelHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // Closes the held handle and takes another one.
    void Reset(HANDLE handle = nullptr)
    {
        Close();
        m_handle = Normalize(handle);
    }
    // Gives the handle up without closing it.
    HANDLE Release() { return std::exchange(m_handle, nullptr); }

private:
    static HANDLE Normalize(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
    void Close()
    {
        if (m_handle)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

    HANDLE m_handle = nullptr;
};
