#pragma once
// The root of the framework's classes, with a class record for dynamic creation and
// run-time class tests (the document template makes documents, frames and views from
// their records).

#include <cstring>

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)(); // null: the class cannot be created dynamically
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* pBase) const {
        for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
            if (p == pBase)
                return true;
        return false;
    }
};

class CObject {
public:
    virtual ~CObject() = default;
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const { return GetThisClass(); }
    bool IsKindOf(const CRuntimeClass* pClass) const {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }
};

#define RUNTIME_CLASS(theClass) (theClass::GetThisClass())

#define DECLARE_DYNAMIC(theClass)                                                                  \
public:                                                                                            \
    static const CRuntimeClass* GetThisClass();                                                    \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return GetThisClass();                                                                     \
    }

#define DECLARE_DYNCREATE(theClass)                                                                \
    DECLARE_DYNAMIC(theClass)                                                                      \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                     \
    const CRuntimeClass* theClass::GetThisClass() {                                                \
        static const CRuntimeClass rc{#theClass, nullptr, RUNTIME_CLASS(baseClass)};               \
        return &rc;                                                                                \
    }

#define IMPLEMENT_DYNCREATE(theClass, baseClass)                                                   \
    CObject* theClass::CreateObject() {                                                            \
        return new theClass;                                                                       \
    }                                                                                              \
    const CRuntimeClass* theClass::GetThisClass() {                                                \
        static const CRuntimeClass rc{#theClass, &theClass::CreateObject,                          \
                                      RUNTIME_CLASS(baseClass)};                                   \
        return &rc;                                                                                \
    }
