// Owners of system handles: each gives its handle back when it goes, on
// every path. Declare them in the order they are made (an object before the
// context it is selected into, the selection last): they are released in
// reverse.
#pragma once

#include <windows.h>
#include <vfw.h>

// One handle and the call that gives it back. Traits name the handle's type,
// its empty value and the release.
template <class Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    // For a call that hands its handle out through a pointer: the old one goes first.
    Handle* Out() {
        Reset();
        return &handle_;
    }
    Handle Release() {
        const Handle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }
    void Reset(Handle handle = Traits::Empty()) {
        if (handle_ != Traits::Empty()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Empty();
};

// Traits of a handle whose empty value is null and which goes back through one call.
template <class H, auto Give> struct NullTraits {
    using Handle = H;
    static constexpr H Empty() { return nullptr; }
    static void Close(H handle) { Give(handle); }
};
// CreateFile's handles, whose empty value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

// A pen, brush, font or bitmap.
template <class H> using GdiObject = UniqueHandle<NullTraits<H, ::DeleteObject>>;
// A device context the program made (CreateDC, CreateCompatibleDC).
using OwnedDc = UniqueHandle<NullTraits<HDC, ::DeleteDC>>;
using KernelHandle = UniqueHandle<NullTraits<HANDLE, ::CloseHandle>>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using RegistryKey = UniqueHandle<NullTraits<HKEY, ::RegCloseKey>>;
using Module = UniqueHandle<NullTraits<HMODULE, ::FreeLibrary>>;
// A cursor loaded from a file.
using OwnedCursor = UniqueHandle<NullTraits<HCURSOR, ::DestroyCursor>>;
using AviFile = UniqueHandle<NullTraits<PAVIFILE, ::AVIFileRelease>>;
using AviStream = UniqueHandle<NullTraits<PAVISTREAM, ::AVIStreamRelease>>;

// A key opened under root, or none when it cannot be opened with that access.
inline RegistryKey OpenRegistryKey(HKEY root, const char* path, REGSAM access) {
    HKEY key = nullptr;
    return RegistryKey(::RegOpenKeyExA(root, path, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
}

// A memory device context compatible with another one.
class MemoryDc : public OwnedDc {
public:
    MemoryDc() = default;
    explicit MemoryDc(HDC compatible) : OwnedDc(::CreateCompatibleDC(compatible)) {}
    operator HDC() const { return get(); }
};

// The device context of a window (or of the screen, for none).
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a context; the previous one is put back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool ok() const { return previous_ != nullptr; }
    // What the context held before.
    HGDIOBJ previous() const { return previous_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The AVI file services, from AVIFileInit to AVIFileExit.
class AviLibrary {
public:
    AviLibrary() { ::AVIFileInit(); }
    ~AviLibrary() { ::AVIFileExit(); }
    AviLibrary(const AviLibrary&) = delete;
    AviLibrary& operator=(const AviLibrary&) = delete;
};
