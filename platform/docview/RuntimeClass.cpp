#include "platform/docview/RuntimeClass.h"

#include <cstring>
#include <vector>

namespace
{

std::vector<const CRuntimeClass*>& Registry()
{
    static std::vector<const CRuntimeClass*> classes;
    return classes;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* runtimeClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* other) const
{
    if (!other)
        return false;
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
        if (c == other)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (!className)
        return nullptr;
    for (const CRuntimeClass* c : Registry()) {
        if (std::strcmp(c->m_lpszClassName, className) == 0)
            return c;
    }
    return nullptr;
}

CRuntimeClassRegistration::CRuntimeClassRegistration(const CRuntimeClass* runtimeClass)
{
    Registry().push_back(runtimeClass);
}
