// Root of the framework's classes: run-time class records for type tests and
// dynamic creation (what a document template needs to build frames and views).
#pragma once

#include <windows.h>

class CObject;
class CArchive;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();   // null when the class is not creatable
    CRuntimeClass* m_pBaseClass;        // null only for CObject

    // A new object of this class, or null when the class has no creator or
    // the constructor threw.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    // Looks a creatable or dynamic class up by name among those registered so far.
    static CRuntimeClass* FromName(const char* lpszClassName);
    static CRuntimeClass* FromName(const wchar_t* lpszClassName);
};

// Keeps a class findable by name; one static instance per IMPLEMENT_ macro.
struct FwClassRegistrar {
    explicit FwClassRegistrar(CRuntimeClass* pClass);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, (int)sizeof(class class_name), 0xFFFF, pfnNew, RUNTIME_CLASS(base_class_name) }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
    static FwClassRegistrar fwRegistrar_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

class CObject {
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;
    bool IsSerializable() const { return false; }
    // Classes that store themselves override this; the framework never calls it.
    virtual void Serialize(CArchive& ar);

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// GetSafeXxx may be called through a null pointer, as the familiar interface
// allows; the compiler must not reason the test for that away.
inline bool FwIsNullObject(const void* p)
{
    asm("" : "+r"(p));
    return p == nullptr;
}

// A checked downcast: null when the object is not of that class.
#define DYNAMIC_DOWNCAST(class_name, object) \
    ((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name)) \
         ? static_cast<class_name*>(object) : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
