#pragma once
// Run-time class records: each class that declares one can tell its name and base, be tested with IsKindOf
// and, when declared creatable, be made from its record (the document template and the view swap create
// objects so).
//
//   class CMyView : public CView
//   {
//       DECLARE_DYNCREATE(CMyView)
//   };
//   IMPLEMENT_DYNCREATE(CMyView, CView)      // in the .cpp file
//
//   CObject* view = RUNTIME_CLASS(CMyView)->CreateObject();

class CObject;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    CObject* (*m_pfnCreateObject)(); // null: the class cannot be created from its record

    // A new object of the class, or null when the class is not creatable.
    CObject* CreateObject() const;
    // True when this class is the other one or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* other) const;
    // The record of a creatable class registered under that name (exact case), or null.
    static const CRuntimeClass* FromName(const char* className);
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* runtimeClass) const;

    static const CRuntimeClass classCObject;
};

// Registers a creatable class for CRuntimeClass::FromName; used by IMPLEMENT_DYNCREATE.
struct CRuntimeClassRegistration
{
    explicit CRuntimeClassRegistration(const CRuntimeClass* runtimeClass);
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                                                                            \
public:                                                                                                      \
    static const CRuntimeClass class##theClass;                                                              \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(theClass)                                                                          \
    DECLARE_DYNAMIC(theClass)                                                                                \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                               \
    const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass), nullptr};          \
    const CRuntimeClass* theClass::GetRuntimeClass() const                                                   \
    {                                                                                                        \
        return &theClass::class##theClass;                                                                   \
    }

#define IMPLEMENT_DYNCREATE(theClass, baseClass)                                                             \
    CObject* theClass::CreateObject()                                                                        \
    {                                                                                                        \
        return new theClass;                                                                                 \
    }                                                                                                        \
    const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass),                    \
                                                     &theClass::CreateObject};                               \
    const CRuntimeClass* theClass::GetRuntimeClass() const                                                   \
    {                                                                                                        \
        return &theClass::class##theClass;                                                                   \
    }                                                                                                        \
    static const CRuntimeClassRegistration scvRegistration##theClass(RUNTIME_CLASS(theClass));
