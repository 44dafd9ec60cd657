#include "toolkit/common_controls_win.h"

namespace sh {
namespace {

// The library as the active context names it: version 6 once visual styles
// are active, the classic one otherwise.
HMODULE CommonControls() {
  HMODULE module = GetModuleHandleA("comctl32.dll");
  return module != nullptr ? module : LoadLibraryA("comctl32.dll");
}

template <typename Call>
Call Bound(const char* name) {
  HMODULE module = CommonControls();
  return module == nullptr ? nullptr : reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool InitCommonControlClasses(DWORD classes) {
  const auto init = Bound<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
  INITCOMMONCONTROLSEX request = {sizeof request, classes};
  return init != nullptr && init(&request);
}

HIMAGELIST CcImageListCreate(int cx, int cy, UINT flags, int initial, int grow) {
  const auto create = Bound<decltype(&ImageList_Create)>("ImageList_Create");
  return create != nullptr ? create(cx, cy, flags, initial, grow) : nullptr;
}

int CcImageListAddIcon(HIMAGELIST list, HICON icon) {
  const auto replace = Bound<decltype(&ImageList_ReplaceIcon)>("ImageList_ReplaceIcon");
  return replace != nullptr ? replace(list, -1, icon) : -1;
}

int CcImageListAddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask) {
  const auto add = Bound<decltype(&ImageList_AddMasked)>("ImageList_AddMasked");
  return add != nullptr ? add(list, bitmap, mask) : -1;
}

BOOL CcImageListDraw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  const auto draw = Bound<decltype(&ImageList_Draw)>("ImageList_Draw");
  return draw != nullptr ? draw(list, index, dc, x, y, style) : FALSE;
}

BOOL CcImageListDestroy(HIMAGELIST list) {
  const auto destroy = Bound<decltype(&ImageList_Destroy)>("ImageList_Destroy");
  return destroy != nullptr ? destroy(list) : FALSE;
}

CVisualStyles::~CVisualStyles() {
  // Forced: whatever this thread activated later and left active goes too.
  if (cookie_ != 0) DeactivateActCtx(DEACTIVATE_ACTCTX_FLAG_FORCE_EARLY_DEACTIVATION, cookie_);
  if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

bool CVisualStyles::Activate(HMODULE module, int manifestId) {
  if (cookie_ != 0) return true;
  if (context_ == INVALID_HANDLE_VALUE) {
    // The module by handle and by name: some Windows versions want both.
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return false;
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.lpSource = path;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEA(manifestId);
    context_ = CreateActCtxA(&request);
    if (context_ == INVALID_HANDLE_VALUE) return false;
  }
  return ActivateActCtx(context_, &cookie_) != FALSE;
}

}  // namespace sh
