#pragma once
// Owners of the platform's resources: each releases what it holds exactly once, when it
// goes out of scope, on every path out. Handles, COM interfaces and objects selected into
// a device context all have one here; nothing is released by hand elsewhere.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <utility>

// A handle with the rules of its kind: `Traits` names the handle type, the value that
// means "none" and how to release one.
//   struct Traits { using Handle = HKEY; static Handle Invalid(); static void Close(Handle); };
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Invalid(); }
    // For functions that return a handle through a pointer; what was held is released.
    Handle* Put() {
        Reset();
        return &m_h;
    }
    // Gives the handle up without releasing it.
    Handle Release() { return std::exchange(m_h, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid()) {
        const Handle old = std::exchange(m_h, h);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    Handle m_h = Traits::Invalid();
};

namespace handle_traits {
template <class H, BOOL(WINAPI* CloseFn)(H)>
struct NullIsNone {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};
struct Kernel {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct RegistryKey {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct GdiObject {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
// Memory of the shell's task allocator (item id lists, names it returns), and of the C heap.
template <class T>
struct TaskMemory {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CoTaskMemFree(h); }
};
template <class T>
struct CHeap {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { std::free(h); }
};
} // namespace handle_traits

template <class T>
using UniqueTaskMemory = UniqueHandle<handle_traits::TaskMemory<T>>;
template <class T>
using UniqueCHeap = UniqueHandle<handle_traits::CHeap<T>>;
// An image list of one's own (ImageList_Create's); the shell's system lists never go in one.
using UniqueImageList = UniqueHandle<handle_traits::NullIsNone<HIMAGELIST, ImageList_Destroy>>;
using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueFile = UniqueHandle<handle_traits::File>; // CreateFile's: INVALID_HANDLE_VALUE is none
using UniqueRegKey = UniqueHandle<handle_traits::RegistryKey>;
using UniqueGdiObject = UniqueHandle<handle_traits::GdiObject>;
using UniqueMemoryDC = UniqueHandle<handle_traits::NullIsNone<HDC, DeleteDC>>;
using UniqueMenu = UniqueHandle<handle_traits::NullIsNone<HMENU, DestroyMenu>>;
using UniqueIcon = UniqueHandle<handle_traits::NullIsNone<HICON, DestroyIcon>>;

// A window's device context from GetDC/GetWindowDC/GetDCEx, given back with ReleaseDC.
class WindowDC {
public:
    enum Kind { Client, Whole };
    explicit WindowDC(HWND hWnd, Kind kind = Client)
        : m_hWnd(hWnd), m_hDC(kind == Whole ? GetWindowDC(hWnd) : GetDC(hWnd)) {}
    // With GetDCEx's DCX_ flags.
    WindowDC(HWND hWnd, DWORD dcxFlags) : m_hWnd(hWnd), m_hDC(GetDCEx(hWnd, nullptr, dcxFlags)) {}
    ~WindowDC() {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// An object selected into a device context for as long as the scope lasts; the object
// it replaced goes back in at the end. Declare it after the owner of the object, so the
// object is deselected before it is deleted.
class SelectedObject {
public:
    SelectedObject(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hDC && hObject ? SelectObject(hDC, hObject) : nullptr) {}
    ~SelectedObject() {
        if (m_hOld)
            SelectObject(m_hDC, m_hOld);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A COM interface pointer holding one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : m_p(other.m_p) {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For functions that return an interface through a pointer; what was held is released.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

private:
    T* m_p = nullptr;
};
