#pragma once

// Binding optional system functions by module and function name at run time.
//
// Two ways to reach a function:
//  - FindFunctionInUse: the module must already be loaded in the process
//    (GetModuleHandleW); nothing is loaded and nothing has to be freed.
//  - CLoadedModule: the module is loaded for the call (LoadLibraryW) and freed
//    when the object goes out of scope, on every path.
// Both answer a missing module or function with a null pointer; the caller then
// returns its own fixed "not available" value.
//
//   using SetHandleInformationFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD);
//   auto fn = FindFunctionInUse<SetHandleInformationFn>(L"kernel32.dll", "SetHandleInformation");
//   if (!fn) return 0;
//   return fn(handle, mask, flags);

#include <windows.h>

// The exported function `name` of `module` as a pointer of type Fn; null when
// the module or the function is missing.
template <typename Fn>
Fn FindFunction(HMODULE module, LPCSTR name)
{
    if (!module || !name)
        return nullptr;
    FARPROC proc = ::GetProcAddress(module, name);
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

// The exported function of a module that is already loaded in the process.
template <typename Fn>
Fn FindFunctionInUse(LPCWSTR moduleName, LPCSTR name)
{
    return FindFunction<Fn>(::GetModuleHandleW(moduleName), name);
}

// A module loaded with LoadLibraryW for as long as the object lives.
class CLoadedModule
{
public:
    explicit CLoadedModule(LPCWSTR moduleName) : m_module(::LoadLibraryW(moduleName)) {}
    ~CLoadedModule()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    CLoadedModule(const CLoadedModule&) = delete;
    CLoadedModule& operator=(const CLoadedModule&) = delete;

    bool IsLoaded() const { return m_module != nullptr; }
    HMODULE GetHandle() const { return m_module; }

    template <typename Fn>
    Fn Find(LPCSTR name) const
    {
        return FindFunction<Fn>(m_module, name);
    }

private:
    HMODULE m_module;
};
