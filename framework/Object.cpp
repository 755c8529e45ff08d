#include "framework/Object.h"

#include <cstring>
#include <string>
#include <vector>

CRuntimeClass CObject::classCObject = { "CObject", (int)sizeof(CObject), 0xFFFF, nullptr, nullptr };

namespace {

std::vector<CRuntimeClass*>& Registry()
{
    static std::vector<CRuntimeClass*> classes;
    return classes;
}

} // namespace

FwClassRegistrar::FwClassRegistrar(CRuntimeClass* pClass)
{
    Registry().push_back(pClass);
}

CObject* CRuntimeClass::CreateObject() const
{
    if (!m_pfnCreateObject)
        return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (...) {
        return nullptr;
    }
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass)
            return true;
    return false;
}

CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    if (std::strcmp(lpszClassName, CObject::classCObject.m_lpszClassName) == 0)
        return &CObject::classCObject;
    for (CRuntimeClass* p : Registry())
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    return nullptr;
}

CRuntimeClass* CRuntimeClass::FromName(const wchar_t* lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    std::string narrow;
    for (const wchar_t* p = lpszClassName; *p; ++p) {
        if (*p > 0x7F)
            return nullptr;   // class names are plain identifiers
        narrow += (char)*p;
    }
    return FromName(narrow.c_str());
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&)
{
}
