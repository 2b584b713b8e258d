#pragma once
// COM on this thread for a scope, and one interface pointer released on every path.

#include <objbase.h>
#include <unknwn.h>

// Joins the calling thread to a COM apartment while it lives; nothing to undo when the thread was
// already in another mode.
class ComApartment
{
public:
    explicit ComApartment(DWORD mode = COINIT_APARTMENTTHREADED) : m_result(::CoInitializeEx(nullptr, mode))
    {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

template <typename Interface>
class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return m_pointer; }
    Interface* Get() const { return m_pointer; }
    // For calls that hand out an interface: typed, or as the void** of CoCreateInstance.
    Interface** Out() { return &m_pointer; }
    void** OutVoid() { return reinterpret_cast<void**>(&m_pointer); }

private:
    Interface* m_pointer = nullptr;
};
