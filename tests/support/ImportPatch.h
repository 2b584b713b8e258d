#pragma once
// Replaces a function a module imports (its import address table entries) for the life of the object,
// so that a test sees what the code under test asks of the system at that edge: the replacement
// records the call and passes it on to the original. The code under test is compiled into the test
// executable, so the usual module is the executable itself (GetModuleHandleW(nullptr)).

#include <windows.h>

#include <vector>

namespace scvtest
{

class ImportPatch
{
public:
    // `dllName` as the module imports it (case does not matter, e.g. "kernel32.dll"), `functionName`
    // as exported. Check Applied(): false when the module does not import the function by that name.
    ImportPatch(HMODULE module, const char* dllName, const char* functionName, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return !m_slots.empty(); }
    // The function the table held before (what the replacement calls on).
    template <typename Function>
    Function Original() const
    {
        return reinterpret_cast<Function>(m_original);
    }

private:
    std::vector<void**> m_slots;
    void* m_original = nullptr;
};

} // namespace scvtest
