#pragma once
// Holds one COM interface pointer and releases it on every path.

#include <unknwn.h>

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
