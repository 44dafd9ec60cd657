// Move-only owners of Win32 handles. Each closes its handle exactly once.
#pragma once

#include <windows.h>

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

using ScopedHKey = ScopedGeneric<HKeyTraits>;
using ScopedHandle = ScopedGeneric<KernelHandleTraits>;
using ScopedFindHandle = ScopedGeneric<FindHandleTraits>;
using ScopedBitmap = ScopedGeneric<GdiObjectTraits<HBITMAP>>;
using ScopedFont = ScopedGeneric<GdiObjectTraits<HFONT>>;
using ScopedRegion = ScopedGeneric<GdiObjectTraits<HRGN>>;
using ScopedBrush = ScopedGeneric<GdiObjectTraits<HBRUSH>>;
using ScopedMenu = ScopedGeneric<MenuTraits>;
using ScopedMemoryDc = ScopedGeneric<MemoryDcTraits>;

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
