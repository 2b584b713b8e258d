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

// A second handle to the same kernel object within this process (same access),
// for a worker thread that must keep the object alive however long its creator
// holds its own handle. Empty for a null handle or on failure.
inline CKernelHandle DuplicateHandleInProcess(HANDLE handle)
{
    HANDLE copy = nullptr;
    if (!handle || !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                                      DUPLICATE_SAME_ACCESS))
        return CKernelHandle();
    return CKernelHandle(copy);
}
