// Move-only owners of Win32 handles. Each closes its handle exactly once.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

namespace sh {

template <typename Traits>
class ScopedGeneric {
 public:
  using Handle = typename Traits::Handle;
  ScopedGeneric() = default;
  explicit ScopedGeneric(Handle h) : h_(h) {}
  ScopedGeneric(const ScopedGeneric&) = delete;
  ScopedGeneric& operator=(const ScopedGeneric&) = delete;
  ScopedGeneric(ScopedGeneric&& other) noexcept : h_(other.release()) {}
  ScopedGeneric& operator=(ScopedGeneric&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~ScopedGeneric() { reset(); }

  Handle get() const { return h_; }
  bool valid() const { return Traits::IsValid(h_); }
  explicit operator bool() const { return valid(); }
  Handle release() { return std::exchange(h_, Traits::Null()); }
  void reset(Handle h = Traits::Null()) {
    if (Traits::IsValid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters of the API: closes what is held first.
  Handle* Receive() {
    reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Null();
};

struct HKeyTraits {
  using Handle = HKEY;
  static HKEY Null() { return nullptr; }
  static bool IsValid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct KernelHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE; processes: null
  using Handle = HANDLE;
  static HANDLE Null() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static HANDLE Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindClose(h); }
};
template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static T Null() { return nullptr; }
  static bool IsValid(T h) { return h != nullptr; }
  static void Close(T h) { DeleteObject(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static HMENU Null() { return nullptr; }
  static bool IsValid(HMENU h) { return h != nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static HDC Null() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

// A folder change notification (FindFirstChangeNotification).
struct ChangeNotificationTraits {
  using Handle = HANDLE;
  static HANDLE Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindCloseChangeNotification(h); }
};
// Memory the shell or COM hands over (item id lists, strings).
struct CoTaskMemTraits {
  using Handle = void*;
  static void* Null() { return nullptr; }
  static bool IsValid(void* h) { return h != nullptr; }
  static void Close(void* h) { CoTaskMemFree(h); }
};
// A SID from AllocateAndInitializeSid.
struct AllocatedSidTraits {
  using Handle = PSID;
  static PSID Null() { return nullptr; }
  static bool IsValid(PSID h) { return h != nullptr; }
  static void Close(PSID h) { FreeSid(h); }
};
// A COM interface pointer; released once.
template <typename T>
struct ComPtrTraits {
  using Handle = T*;
  static T* Null() { return nullptr; }
  static bool IsValid(T* h) { return h != nullptr; }
  static void Close(T* h) { h->Release(); }
};

using ScopedHKey = ScopedGeneric<HKeyTraits>;
using ScopedHandle = ScopedGeneric<KernelHandleTraits>;
using ScopedFindHandle = ScopedGeneric<FindHandleTraits>;
using ScopedChangeNotification = ScopedGeneric<ChangeNotificationTraits>;
using ScopedCoTaskMem = ScopedGeneric<CoTaskMemTraits>;
using ScopedBitmap = ScopedGeneric<GdiObjectTraits<HBITMAP>>;
using ScopedFont = ScopedGeneric<GdiObjectTraits<HFONT>>;
using ScopedRegion = ScopedGeneric<GdiObjectTraits<HRGN>>;
using ScopedBrush = ScopedGeneric<GdiObjectTraits<HBRUSH>>;
using ScopedMenu = ScopedGeneric<MenuTraits>;
using ScopedMemoryDc = ScopedGeneric<MemoryDcTraits>;
using ScopedAllocatedSid = ScopedGeneric<AllocatedSidTraits>;
template <typename T>
using ScopedComPtr = ScopedGeneric<ComPtrTraits<T>>;

// A window this code created and must destroy (a tooltip, a test window).
// A handle whose window is already gone (destroyed with its owner) is only
// forgotten.
struct WindowTraits {
  using Handle = HWND;
  static HWND Null() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr; }
  static void Close(HWND h) {
    if (IsWindow(h)) DestroyWindow(h);
  }
};
// A cursor made by CopyIcon/CopyCursor or CreateCursor (never a shared one
// from LoadCursor).
struct CursorTraits {
  using Handle = HCURSOR;
  static HCURSOR Null() { return nullptr; }
  static bool IsValid(HCURSOR h) { return h != nullptr; }
  static void Close(HCURSOR h) { DestroyCursor(h); }
};
// A module from LoadLibrary / LoadLibraryEx.
struct LibraryTraits {
  using Handle = HMODULE;
  static HMODULE Null() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};

using ScopedWindow = ScopedGeneric<WindowTraits>;
using ScopedCursor = ScopedGeneric<CursorTraits>;
using ScopedLibrary = ScopedGeneric<LibraryTraits>;

// Binds `call` to the export `name` of `module` (calls bound at run time,
// where a DLL is loaded only when needed); false when it is missing.
template <typename Call>
bool BindProc(HMODULE module, const char* name, Call& call) {
  call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return call != nullptr;
}

// A window's DC from GetDC, given back with ReleaseDC.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  ~ScopedGetDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class ScopedPaintDc {
 public:
  explicit ScopedPaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
  ScopedPaintDc(const ScopedPaintDc&) = delete;
  ScopedPaintDc& operator=(const ScopedPaintDc&) = delete;
  ~ScopedPaintDc() { EndPaint(hwnd_, &paint_); }
  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_ = {};
  HDC dc_ = nullptr;
};

// OLE on this thread for the owner's life; uninitialised only when the
// initialisation worked (a failed one must not be balanced).
class ScopedOleInitialize {
 public:
  ScopedOleInitialize() : result_(OleInitialize(nullptr)) {}
  ScopedOleInitialize(const ScopedOleInitialize&) = delete;
  ScopedOleInitialize& operator=(const ScopedOleInitialize&) = delete;
  ~ScopedOleInitialize() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }

 private:
  HRESULT result_;
};

// Selects an object into a DC and puts the old one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace sh
