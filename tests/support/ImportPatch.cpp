#include "support/ImportPatch.h"

namespace scvtest
{

namespace
{

template <typename T>
T* AtOffset(HMODULE module, DWORD offset)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

const IMAGE_DATA_DIRECTORY* ImportDirectory(HMODULE module)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = AtOffset<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY* directory = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    return directory->VirtualAddress && directory->Size ? directory : nullptr;
}

// The table entries of `functionName` among the imports `descriptor` names (by its name table).
void CollectSlots(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& descriptor, const char* functionName,
                  std::vector<void**>& slots)
{
    if (!descriptor.OriginalFirstThunk)
        return;
    const auto* names = AtOffset<const IMAGE_THUNK_DATA>(module, descriptor.OriginalFirstThunk);
    auto* addresses = AtOffset<IMAGE_THUNK_DATA>(module, descriptor.FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++addresses) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
            continue;
        const auto* byName =
            AtOffset<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
        if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), functionName) == 0)
            slots.push_back(reinterpret_cast<void**>(&addresses->u1.Function));
    }
}

void WriteSlot(void** slot, void* value)
{
    DWORD oldProtection = 0;
    if (!::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection))
        return;
    ::InterlockedExchangePointer(slot, value);
    ::VirtualProtect(slot, sizeof(void*), oldProtection, &oldProtection);
}

} // namespace

ImportPatch::ImportPatch(HMODULE module, const char* dllName, const char* functionName, void* replacement)
{
    const IMAGE_DATA_DIRECTORY* directory = ImportDirectory(module);
    if (!directory)
        return;
    std::vector<void**> slots;
    for (const auto* descriptor = AtOffset<const IMAGE_IMPORT_DESCRIPTOR>(module, directory->VirtualAddress);
         descriptor->Name; ++descriptor) {
        if (lstrcmpiA(AtOffset<const char>(module, descriptor->Name), dllName) == 0)
            CollectSlots(module, *descriptor, functionName, slots);
    }
    if (slots.empty())
        return;
    m_original = *slots.front();
    for (void** slot : slots)
        WriteSlot(slot, replacement);
    m_slots = std::move(slots);
}

ImportPatch::~ImportPatch()
{
    for (void** slot : m_slots)
        WriteSlot(slot, m_original);
}

} // namespace scvtest
