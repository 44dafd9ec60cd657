// shpoke: drives a running SweepHarbor window from scripts (screenshots):
//   shpoke wait  TITLE [SECONDS]        until a visible window has TITLE
//   shpoke post  TITLE MSG WPARAM LPARAM
//   shpoke click TITLE BUTTON-TEXT      posts the button's click to its page
//   shpoke has   TITLE BUTTON-TEXT      0 when such a button is shown
//   shpoke sendto TITLE ID MSG WPARAM LPARAM|TEXT  sends to the shown control ID
//                                       (a text LPARAM goes as a string)
// Numbers may be decimal or 0x hex. Exit code 0 on success.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND Find(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  if (w) return w;
  // In the tray the window is a child of a hidden popup.
  HWND popup = nullptr;
  while ((popup = FindWindowExA(nullptr, popup, nullptr, nullptr)) != nullptr)
    if (HWND child = FindWindowExA(popup, nullptr, nullptr, title)) return child;
  return nullptr;
}

struct ButtonSearch {
  const char* text;
  HWND found;
};

BOOL CALLBACK FindButton(HWND w, LPARAM lParam) {
  auto* search = reinterpret_cast<ButtonSearch*>(lParam);
  char cls[32] = {}, text[128] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, text, sizeof text);
  if (_stricmp(cls, "Button") == 0 && std::strcmp(text, search->text) == 0 && IsWindowVisible(w)) {
    search->found = w;
    return FALSE;
  }
  return TRUE;
}

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindById(HWND w, LPARAM lParam) {
  auto* search = reinterpret_cast<IdSearch*>(lParam);
  if (GetDlgCtrlID(w) == search->id && IsWindowVisible(w)) {
    search->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: shpoke wait|post|click|press|has TITLE ...\n");
    return 2;
  }
  std::string verb = argv[1];
  const char* title = argv[2];
  if (verb == "wait") {
    int seconds = argc > 3 ? std::atoi(argv[3]) : 20;
    for (int i = 0; i < seconds * 10; ++i) {
      HWND w = Find(title);
      if (w && IsWindowVisible(w)) return 0;
      Sleep(100);
    }
    return 1;
  }
  HWND w = Find(title);
  if (!w) return 1;
  if (verb == "post" && argc >= 6)
    return PostMessageA(w, static_cast<UINT>(Number(argv[3])), Number(argv[4]), static_cast<LPARAM>(Number(argv[5])))
               ? 0
               : 1;
  if (verb == "sendto" && argc >= 7) {
    IdSearch search{static_cast<int>(Number(argv[3])), nullptr};
    EnumChildWindows(w, FindById, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    const char* last = argv[6];
    const bool number = last[0] >= '0' && last[0] <= '9';
    SendMessageA(search.found, static_cast<UINT>(Number(argv[4])), Number(argv[5]),
                 number ? static_cast<LPARAM>(Number(last)) : reinterpret_cast<LPARAM>(last));
    return 0;
  }
  if ((verb == "click" || verb == "press" || verb == "has") && argc >= 4) {
    ButtonSearch search{argv[3], nullptr};
    EnumChildWindows(w, FindButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    if (verb == "has") return 0;
    // A picture button that acts on the mouse press, as a user's does.
    if (verb == "press")
      return PostMessageA(search.found, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)) &&
                     PostMessageA(search.found, WM_LBUTTONUP, 0, MAKELPARAM(5, 5))
                 ? 0
                 : 1;
    return PostMessageA(GetParent(search.found), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.found), BN_CLICKED),
                        reinterpret_cast<LPARAM>(search.found))
               ? 0
               : 1;
  }
  return 2;
}
