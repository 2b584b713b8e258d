#include "common/MarkerFiles.h"

#include <map>
#include <string>

#include "common/PathFunctions.h"
#include "common/SlimLock.h"

namespace
{

enum MarkerState
{
    kPresent = 0,
    kAbsent = 1,
    kNotTested = 2
};

struct MarkerCache
{
    CSlimLock lock;
    std::map<std::wstring, MarkerState> states;
};

MarkerCache& Cache()
{
    static MarkerCache cache;
    return cache;
}

} // namespace

int GetMarkerFileNames(std::vector<CString>& names)
{
    names.clear();
    names.push_back(kUpdateTestMarkerName);
    return static_cast<int>(names.size());
}

bool IsMarkerFilePresent(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    const CString path = CString(name).Find(L'\\') >= 0 ? CString(name) : GetProgramFolder() + name;
    MarkerCache& cache = Cache();
    CSlimLockGuard guard(cache.lock);
    auto [entry, added] = cache.states.try_emplace(std::wstring(path.GetString()), kNotTested);
    if (entry->second == kNotTested)
        entry->second = FileExists(path) ? kPresent : kAbsent;
    return entry->second == kPresent;
}

bool IsUpdateTestMarkerPresent()
{
    return IsMarkerFilePresent(kUpdateTestMarkerName);
}
