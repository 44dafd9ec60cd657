// The program's resources as the code finds them: every bitmap, icon, the
// cursor, the menu, the strings and the dialog templates are loaded by number
// from this test program's own module (it links the same resource object as
// SweepHarbor.exe) and checked against the facts the code relies on.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace sh::test {
namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// A bitmap resource read back as 24-bit pixels, top row first.
struct Pixels {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<uint8_t> bgr;  // 3 bytes a pixel, rows top-down, no padding

  COLORREF At(int x, int y) const {
    const uint8_t* p = &bgr[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[2], p[1], p[0]);
  }
};

Pixels LoadPixels(int id) {
  Pixels px;
  HBITMAP bmp = static_cast<HBITMAP>(
      LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bmp == nullptr) return px;
  DIBSECTION ds{};
  if (GetObjectA(bmp, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits != nullptr) {
    px.width = ds.dsBm.bmWidth;
    px.height = ds.dsBm.bmHeight;
    px.bitsPerPixel = ds.dsBm.bmBitsPixel;
    if (px.bitsPerPixel == 24) {
      const int stride = ds.dsBm.bmWidthBytes;
      const bool bottomUp = ds.dsBmih.biHeight > 0;
      const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
      px.bgr.resize(static_cast<size_t>(px.width) * px.height * 3);
      for (int y = 0; y < px.height; ++y) {
        const uint8_t* row = bits + static_cast<size_t>(bottomUp ? px.height - 1 - y : y) * stride;
        std::memcpy(&px.bgr[static_cast<size_t>(y) * px.width * 3], row, static_cast<size_t>(px.width) * 3);
      }
    }
  }
  DeleteObject(bmp);
  return px;
}

int Luma(COLORREF c) {
  return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
}

std::string Hex(COLORREF c) {
  char buf[16];
  snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kTitleKey = RGB(60, 62, 124);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// ---------------------------------------------------------------- bitmaps

struct BitmapSize {
  int id;
  int width;
  int height;
};

TEST(Resources, EveryBitmapHasItsSizeAndIs24Bit) {
  const BitmapSize all[] = {
      {IDB_SKIN, 745, 545},          {IDB_HOME, 573, 425},
      {IDB_CLEAN_NORMAL, 130, 43},   {IDB_CLEAN_HOVER, 130, 43},   {IDB_CLEAN_SELECTED, 130, 43},
      {IDB_CONTROL_NORMAL, 130, 43}, {IDB_CONTROL_HOVER, 130, 43}, {IDB_CONTROL_SELECTED, 130, 43},
      {IDB_ITEMS_NORMAL, 130, 43},   {IDB_ITEMS_HOVER, 130, 43},   {IDB_ITEMS_SELECTED, 130, 43},
      {IDB_COOKIES_NORMAL, 130, 43}, {IDB_COOKIES_HOVER, 130, 43}, {IDB_COOKIES_SELECTED, 130, 43},
      {IDB_PLUGINS_NORMAL, 130, 43}, {IDB_PLUGINS_HOVER, 130, 43}, {IDB_PLUGINS_SELECTED, 130, 43},
      {IDB_EXIT, 65, 20},            {IDB_MINIMIZE, 65, 20},       {IDB_HELP, 65, 20},
      {IDB_PENDING, 16, 16},         {IDB_DONE, 16, 16},
  };
  for (const BitmapSize& b : all) {
    SCOPED_TRACE("bitmap " + std::to_string(b.id));
    HBITMAP plain = LoadBitmapA(Module(), MAKEINTRESOURCEA(b.id));
    ASSERT_NE(plain, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(plain, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, b.width);
    EXPECT_EQ(bm.bmHeight, b.height);
    DeleteObject(plain);

    Pixels px = LoadPixels(b.id);
    EXPECT_EQ(px.bitsPerPixel, 24);
    EXPECT_EQ(px.width, b.width);
    EXPECT_EQ(px.height, b.height);
  }
}

TEST(Resources, SkinIsGreenOutsideTheWindowOnly) {
  Pixels skin = LoadPixels(IDB_SKIN);
  ASSERT_EQ(skin.bgr.size(), 745u * 545u * 3u);
  for (auto [x, y] : {std::pair{0, 0}, {744, 0}, {0, 544}, {744, 544}}) {
    EXPECT_EQ(Hex(skin.At(x, y)), Hex(kGreen)) << x << "," << y;
  }
  // The shape is built from the non-green pixels: a green pixel inside the
  // window would punch a hole into it. The corners are rounded by at most
  // 16 pixels, so the cross between them must be free of green.
  int holes = 0;
  for (int y = 0; y < 545; ++y) {
    for (int x = 0; x < 745; ++x) {
      const bool inCross = (x >= 16 && x < 745 - 16) || (y >= 16 && y < 545 - 16);
      if (inCross && skin.At(x, y) == kGreen) ++holes;
    }
  }
  EXPECT_EQ(holes, 0);
}

TEST(Resources, SkinPanelAreaIsCalmAndLight) {
  Pixels skin = LoadPixels(IDB_SKIN);
  ASSERT_FALSE(skin.bgr.empty());
  // Panels show the skin from (155, 107) to (708, 515) behind lists, check
  // boxes and black text.
  const COLORREF centre = skin.At(155 + 276, 107 + 204);
  EXPECT_NE(centre, kGreen);
  int dark = 0;
  for (int y = 107; y < 515; ++y)
    for (int x = 155; x < 708; ++x)
      if (Luma(skin.At(x, y)) < 200) ++dark;
  EXPECT_EQ(dark, 0) << "the panel area must be light all over";
}

TEST(Resources, TitleButtonsSitOnTheirBlendColourInTheSkin) {
  // The title buttons' edges are blended with the title band's colour, so
  // the band under them (exit's right edge 16 pixels from the right, y as
  // in the template, about 14) must be exactly that colour.
  Pixels skin = LoadPixels(IDB_SKIN);
  ASSERT_FALSE(skin.bgr.empty());
  const COLORREF band = RGB(0x0F, 0x27, 0x44);
  int other = 0;
  for (int y = 8; y < 40; ++y)
    for (int x = 745 - 16 - 3 * 65 - 8 - 4; x < 745 - 16 + 2; ++x)
      if (skin.At(x, y) != band) ++other;
  EXPECT_EQ(other, 0);
}

TEST(Resources, TitleButtonsHaveKeyColouredCornersAroundAVisibleButton) {
  for (int id : {IDB_EXIT, IDB_MINIMIZE, IDB_HELP}) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    Pixels px = LoadPixels(id);
    ASSERT_EQ(px.width, 65);
    ASSERT_EQ(px.height, 20);
    for (auto [x, y] : {std::pair{0, 0}, {64, 0}, {0, 19}, {64, 19}})
      EXPECT_EQ(Hex(px.At(x, y)), Hex(kTitleKey)) << x << "," << y;
    EXPECT_NE(px.At(32, 10), kTitleKey);
    int keyed = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 65; ++x)
        if (px.At(x, y) == kTitleKey) ++keyed;
    EXPECT_GT(keyed, 0);
    EXPECT_LT(keyed, 65 * 20 / 5) << "most of the button must be visible";
  }
  // Three different buttons, not one picture three times.
  Pixels exitPx = LoadPixels(IDB_EXIT), minPx = LoadPixels(IDB_MINIMIZE), helpPx = LoadPixels(IDB_HELP);
  EXPECT_NE(exitPx.bgr, minPx.bgr);
  EXPECT_NE(minPx.bgr, helpPx.bgr);
  EXPECT_NE(exitPx.bgr, helpPx.bgr);
}

TEST(Resources, NavigationButtonsHaveThreeDistinctStatesOnTheColumnColour) {
  Pixels skin = LoadPixels(IDB_SKIN);
  ASSERT_FALSE(skin.bgr.empty());
  const int sets[5][3] = {
      {IDB_CLEAN_NORMAL, IDB_CLEAN_HOVER, IDB_CLEAN_SELECTED},
      {IDB_CONTROL_NORMAL, IDB_CONTROL_HOVER, IDB_CONTROL_SELECTED},
      {IDB_ITEMS_NORMAL, IDB_ITEMS_HOVER, IDB_ITEMS_SELECTED},
      {IDB_COOKIES_NORMAL, IDB_COOKIES_HOVER, IDB_COOKIES_SELECTED},
      {IDB_PLUGINS_NORMAL, IDB_PLUGINS_HOVER, IDB_PLUGINS_SELECTED},
  };
  std::vector<std::vector<uint8_t>> normals;
  for (int n = 0; n < 5; ++n) {
    SCOPED_TRACE("button " + std::to_string(n));
    Pixels normal = LoadPixels(sets[n][0]), hover = LoadPixels(sets[n][1]), selected = LoadPixels(sets[n][2]);
    ASSERT_FALSE(normal.bgr.empty());
    ASSERT_FALSE(hover.bgr.empty());
    ASSERT_FALSE(selected.bgr.empty());
    EXPECT_NE(normal.bgr, hover.bgr);
    EXPECT_NE(hover.bgr, selected.bgr);
    EXPECT_NE(normal.bgr, selected.bgr);
    // Drawn opaque over the navigation column: the corners are its colour.
    const COLORREF column = skin.At(8, 107 + 50 * n);
    for (const Pixels* p : {&normal, &hover, &selected})
      EXPECT_EQ(Hex(p->At(0, 0)), Hex(column));
    normals.push_back(normal.bgr);
  }
  // Each button carries its own label.
  for (size_t a = 0; a < normals.size(); ++a)
    for (size_t b = a + 1; b < normals.size(); ++b) EXPECT_NE(normals[a], normals[b]);
}

TEST(Resources, HomePictureHasALightStatusAreaAndADarkLinkArea) {
  Pixels home = LoadPixels(IDB_HOME);
  ASSERT_EQ(home.width, 573);
  ASSERT_EQ(home.height, 425);
  // Status lines: client x 164-391, y 318-463, dark text; the picture is at
  // (145, 99).
  int darkInStatus = 0;
  for (int y = 318 - 99; y < 463 - 99; ++y)
    for (int x = 164 - 145; x < 391 - 145; ++x)
      if (Luma(home.At(x, y)) < 200) ++darkInStatus;
  EXPECT_EQ(darkInStatus, 0);
  // Links: client x 440-700, same rows, white text.
  int lightInLinks = 0;
  for (int y = 318 - 99; y < 463 - 99; ++y)
    for (int x = 440 - 145; x < 700 - 145; ++x)
      if (Luma(home.At(x, y)) > 110) ++lightInLinks;
  EXPECT_EQ(lightInLinks, 0);
}

TEST(Resources, MarksAreOnBlack) {
  for (int id : {IDB_PENDING, IDB_DONE}) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    Pixels px = LoadPixels(id);
    ASSERT_EQ(px.width, 16);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
      EXPECT_EQ(Hex(px.At(x, y)), Hex(kBlack)) << x << "," << y;
    EXPECT_NE(px.At(8, 8), kBlack);
    int visible = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (px.At(x, y) != kBlack) ++visible;
    EXPECT_GT(visible, 16 * 16 / 3);
  }
  EXPECT_NE(LoadPixels(IDB_PENDING).bgr, LoadPixels(IDB_DONE).bgr);
}

// ---------------------------------------------------------- icons, cursor

TEST(Resources, IconsLoadInBothSizes) {
  for (int id : {IDI_MAIN, IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_KIND_RECYCLE, IDI_KIND_INTERNET,
                 IDI_COOKIE, IDI_PLUGIN}) {
    SCOPED_TRACE("icon " + std::to_string(id));
    EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(id)), nullptr);
    for (int size : {16, 32}) {
      HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr) << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      EXPECT_TRUE(info.fIcon);
      BITMAP bm{};
      ASSERT_NE(info.hbmColor, nullptr);
      GetObjectA(info.hbmColor, sizeof bm, &bm);
      EXPECT_EQ(bm.bmWidth, size);
      EXPECT_EQ(bm.bmHeight, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

TEST(Resources, KindIconsGoIntoAMaskedImageList) {
  // The clean list's image list: 16 x 16, 32-bit colour with mask; the four
  // kind icons, the two marks (black transparent) and the plugin icon.
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0);
  ASSERT_NE(list, nullptr);
  for (int id : {IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_KIND_RECYCLE, IDI_KIND_INTERNET}) {
    HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(icon, nullptr);
    EXPECT_GE(ImageList_AddIcon(list, icon), 0);
    DestroyIcon(icon);
  }
  for (int id : {IDB_PENDING, IDB_DONE}) {
    HBITMAP bmp = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
    ASSERT_NE(bmp, nullptr);
    EXPECT_GE(ImageList_AddMasked(list, bmp, RGB(0, 0, 0)), 0);
    DeleteObject(bmp);
  }
  HICON plugin = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(IDI_PLUGIN), IMAGE_ICON, 16, 16, 0));
  EXPECT_EQ(ImageList_AddIcon(list, plugin), 6);
  DestroyIcon(plugin);
  EXPECT_EQ(ImageList_GetImageCount(list), 7);
  ImageList_Destroy(list);
}

TEST(Resources, HandCursorPointsWithItsFingertip) {
  HCURSOR hand = LoadCursorA(Module(), MAKEINTRESOURCEA(IDC_HANDCURSOR));
  ASSERT_NE(hand, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 11u);
  EXPECT_EQ(info.yHotspot, 1u);
  BITMAP bm{};
  GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

// ------------------------------------------------------------------ menu

TEST(Resources, TrayMenuHoldsItsItemsInOrder) {
  HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAYMENU));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  struct Item {
    UINT id;
    const char* text;  // null: separator
  };
  const Item expected[] = {
      {32772, "Open SweepHarbor"}, {0, nullptr},
      {32773, "Start Cleaning"},   {32774, "Control Panel"},
      {32775, "Choose Items to Clean"}, {32776, "Manage Cookies"},
      {32777, "Manage Plugins"},   {0, nullptr},
      {32778, "Configure Shields"}, {0, nullptr},
      {57665, "E&xit"},
  };
  ASSERT_EQ(GetMenuItemCount(popup), 11);
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE("position " + std::to_string(i));
    char text[64] = {};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &mii));
    if (expected[i].text == nullptr) {
      EXPECT_TRUE(mii.fType & MFT_SEPARATOR);
    } else {
      EXPECT_FALSE(mii.fType & MFT_SEPARATOR);
      EXPECT_EQ(mii.wID, expected[i].id);
      EXPECT_STREQ(text, expected[i].text);
    }
  }
  // The double click reads the command of position 0.
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_TRAY_OPEN));
  DestroyMenu(menu);
}

// --------------------------------------------------------------- strings

std::string Str(UINT id) {
  char buf[1024] = {};
  const int n = LoadStringA(Module(), id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

TEST(Resources, StringsReadExactly) {
  EXPECT_EQ(Str(102), "Items to be cleaned");
  EXPECT_EQ(Str(104), "Files");
  EXPECT_EQ(Str(105), "Size");
  EXPECT_EQ(Str(106), "Status");
  EXPECT_EQ(Str(107), "Start Cleaning");
  EXPECT_EQ(Str(108), "Abort");
  EXPECT_EQ(Str(109), "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
  EXPECT_EQ(Str(111), "Error occured while accessing the registry\nCannot Continue");
  EXPECT_EQ(Str(112), "Pending");
  EXPECT_EQ(Str(113), "Start Cleaning");
  EXPECT_EQ(Str(114), "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
  EXPECT_EQ(Str(115).rfind("http://", 0), 0u);
  EXPECT_EQ(Str(115).substr(Str(115).size() - 21), "/sweepharbor_updates/");
  EXPECT_EQ(Str(120),
            "Adding Shred options may delay the Cleaning process substantially. Please be patient while "
            "SweepHarbor provides total security during cleaning.");
  EXPECT_EQ(Str(32779),
            "Active Protection Shields are Currently Active and protecting your system, shutting down "
            "SweepHarbor will disable these shields.\nAre you Sure you want to close SweepHarbor ?");
}

TEST(Resources, PanelTextsKeepTheirBlankLines) {
  const std::string welcome = Str(121);
  EXPECT_NE(welcome.find("Folder, Files and Registry keys.\n\nUse the adequate option below"), std::string::npos);
  EXPECT_EQ(welcome.rfind("Welcome to the Custom Plugin Creation Panel.", 0), 0u);
  EXPECT_EQ(Str(122).rfind("Please be advised to be absolutely careful", 0), 0u);
  EXPECT_NE(Str(117).find("upgradation of plugins list. \n\nDownload"), std::string::npos);
  EXPECT_NE(Str(118).find("Active Protection Shield (APS)"), std::string::npos);
  EXPECT_NE(Str(119).find("combinations.\n\nPlease be advised"), std::string::npos);
}

TEST(Resources, UnspecifiedStringsAreAbsent) {
  for (UINT id : {103u, 110u, 116u}) EXPECT_EQ(Str(id), "") << id;
}

// --------------------------------------------------------------- dialogs

INT_PTR CALLBACK NoOpDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void InitControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

std::string TextOf(HWND w) {
  char text[512] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

RECT RectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A panel created from its template inside a hidden parent.
struct Panel {
  HWND parent = nullptr;
  HWND page = nullptr;
  explicit Panel(int id) {
    InitControls();
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 745, 545, nullptr, nullptr, Module(), nullptr);
    page = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), parent, NoOpDialog, 0);
  }
  ~Panel() {
    if (page) DestroyWindow(page);
    if (parent) DestroyWindow(parent);
  }
  HWND Item(int id) const { return GetDlgItem(page, id); }
};

// A dialog template (DLGTEMPLATEEX) read from the resource, in dialog units.
struct TemplateItem {
  DWORD id = 0;
  DWORD style = 0;
  RECT rect{};  // left, top, right, bottom in dialog units
  std::wstring text;
};

struct Template {
  bool ok = false;
  DWORD style = 0;
  int cx = 0;
  int cy = 0;
  int pointSize = 0;
  std::wstring face;
  std::vector<TemplateItem> items;

  const TemplateItem* Item(DWORD id) const {
    for (const TemplateItem& i : items)
      if (i.id == id) return &i;
    return nullptr;
  }
};

class Reader {
 public:
  Reader(const uint8_t* p, size_t size) : p_(p), end_(p + size) {}
  bool ok() const { return p_ <= end_; }
  template <typename T>
  T Get() {
    T v{};
    if (p_ + sizeof(T) <= end_) std::memcpy(&v, p_, sizeof(T));
    p_ += sizeof(T);
    return v;
  }
  // A string or an ordinal (0xFFFF, number); an ordinal reads as "#n".
  std::wstring SzOrOrd() {
    const uint16_t first = Get<uint16_t>();
    if (first == 0) return L"";
    if (first == 0xFFFF) return L"#" + std::to_wstring(Get<uint16_t>());
    std::wstring s(1, static_cast<wchar_t>(first));
    for (uint16_t c; ok() && (c = Get<uint16_t>()) != 0;) s += static_cast<wchar_t>(c);
    return s;
  }
  void AlignDword(const uint8_t* base) {
    while ((p_ - base) % 4 != 0) ++p_;
  }
  void Skip(size_t n) { p_ += n; }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

Template ReadTemplate(int id) {
  Template t;
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
  if (res == nullptr) return t;
  const auto* base = static_cast<const uint8_t*>(LockResource(LoadResource(Module(), res)));
  if (base == nullptr) return t;
  Reader r(base, SizeofResource(Module(), res));
  if (r.Get<uint16_t>() != 1 || r.Get<uint16_t>() != 0xFFFF) return t;  // DLGTEMPLATEEX only
  r.Get<uint32_t>();  // help id
  r.Get<uint32_t>();  // extended style
  t.style = r.Get<uint32_t>();
  const int count = r.Get<uint16_t>();
  r.Get<int16_t>();
  r.Get<int16_t>();
  t.cx = r.Get<int16_t>();
  t.cy = r.Get<int16_t>();
  r.SzOrOrd();  // menu
  r.SzOrOrd();  // class
  r.SzOrOrd();  // title
  if (t.style & DS_SETFONT) {
    t.pointSize = r.Get<uint16_t>();
    r.Get<uint16_t>();
    r.Get<uint8_t>();
    r.Get<uint8_t>();
    t.face = r.SzOrOrd();
  }
  for (int i = 0; i < count && r.ok(); ++i) {
    r.AlignDword(base);
    TemplateItem item;
    r.Get<uint32_t>();  // help id
    r.Get<uint32_t>();  // extended style
    item.style = r.Get<uint32_t>();
    const int x = r.Get<int16_t>(), y = r.Get<int16_t>(), cx = r.Get<int16_t>(), cy = r.Get<int16_t>();
    item.rect = RECT{x, y, x + cx, y + cy};
    item.id = r.Get<uint32_t>();
    r.SzOrOrd();  // class
    item.text = r.SzOrOrd();
    r.Skip(r.Get<uint16_t>());
    t.items.push_back(item);
  }
  t.ok = r.ok() && static_cast<int>(t.items.size()) == count;
  return t;
}

// Pixels of a dialog-unit rectangle with the 6 x 13 base units of an
// 8-point "MS Shell Dlg" on Windows (Wine's substitute font is wider, which
// is one reason the code places the main window's controls in pixels).
RECT ToPixels(const RECT& du) {
  return RECT{MulDiv(du.left, 6, 4), MulDiv(du.top, 13, 8), MulDiv(du.right, 6, 4), MulDiv(du.bottom, 13, 8)};
}

TEST(Resources, MainWindowTemplateIsLaidOutForTheSkin) {
  Template t = ReadTemplate(IDD_MAIN);
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.face, L"MS Shell Dlg");
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_TRUE(t.style & WS_POPUP);
  EXPECT_NE(t.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_NEAR(MulDiv(t.cx, 6, 4), 745, 3);
  EXPECT_NEAR(MulDiv(t.cy, 13, 8), 545, 3);
  const int nav[] = {IDC_NAV_CLEAN, IDC_NAV_CONTROL, IDC_NAV_ITEMS, IDC_NAV_COOKIES, IDC_NAV_PLUGINS};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("nav " + std::to_string(nav[i]));
    const TemplateItem* b = t.Item(nav[i]);
    ASSERT_NE(b, nullptr);
    RECT px = ToPixels(b->rect);
    // Down the left column (x 8..138), 50 pixels apart from y 107.
    EXPECT_NEAR(px.left, 8, 2);
    EXPECT_NEAR(px.top, 107 + 50 * i, 2);
  }
  for (int id : {IDC_TITLE_HELP, IDC_TITLE_MINIMIZE, IDC_TITLE_EXIT}) {
    const TemplateItem* b = t.Item(id);
    ASSERT_NE(b, nullptr) << id;
    // The code keeps the template's y; the skin's band is plain there.
    EXPECT_NEAR(ToPixels(b->rect).top, 14, 2) << id;
  }
  const int links[] = {IDC_LINK_HOME, IDC_LINK_HELP, IDC_LINK_PRODUCTS, IDC_LINK_RESOURCES, IDC_LINK_SUPPORT};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("link " + std::to_string(links[i]));
    const TemplateItem* s = t.Item(links[i]);
    ASSERT_NE(s, nullptr);
    RECT px = ToPixels(s->rect);
    // On the dark web card of the home picture, on the status lines' rows.
    EXPECT_NEAR(px.left, 440, 2);
    EXPECT_LE(px.right, 702);
    EXPECT_NEAR(px.top, 318 + 32 * i, 2);
    EXPECT_NEAR(px.bottom, 335 + 32 * i, 2);
  }
}

TEST(Resources, PanelTemplatesFitThePanelArea) {
  for (int id : {IDD_CLEANLIST, IDD_CONTROLPANEL, IDD_COOKIES}) {
    SCOPED_TRACE("template " + std::to_string(id));
    Template t = ReadTemplate(id);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.face, L"MS Shell Dlg");
    EXPECT_NEAR(MulDiv(t.cx, 6, 4), 553, 4);
    EXPECT_NEAR(MulDiv(t.cy, 13, 8), 408, 4);
  }
  // The panels are sized to the 553 x 408 pixel panel area; their controls
  // must fit it with 6 or 7 pixels to the base unit across (Windows' dialog
  // font, Wine's substitute) and 13 down. The clean list lays itself out.
  for (int id : {IDD_CONTROLPANEL, IDD_CHOOSEITEMS, IDD_COOKIES, IDD_PLUGINS}) {
    Template t = ReadTemplate(id);
    ASSERT_TRUE(t.ok) << id;
    for (const TemplateItem& i : t.items) {
      EXPECT_LE(MulDiv(i.rect.right, 7, 4), 553) << id << ": " << i.id;
      EXPECT_LE(MulDiv(i.rect.bottom, 13, 8), 408) << id << ": " << i.id;
    }
  }
  Template items = ReadTemplate(IDD_CHOOSEITEMS);
  ASSERT_TRUE(items.ok);
  EXPECT_EQ(items.cx, 362);
  EXPECT_EQ(items.cy, 150);
  EXPECT_EQ(items.face, L"MS Sans Serif");
  Template wizard = ReadTemplate(IDD_PLUGINS);
  ASSERT_TRUE(wizard.ok);
  EXPECT_EQ(wizard.cx, 366);
  EXPECT_EQ(wizard.cy, 281);
  EXPECT_EQ(wizard.face, L"MS Sans Serif");
  for (int id : {IDD_CLEANLIST, IDD_CONTROLPANEL, IDD_CHOOSEITEMS, IDD_COOKIES, IDD_PLUGINS}) {
    Template t = ReadTemplate(id);
    EXPECT_TRUE(t.style & WS_CHILD) << id;
    EXPECT_TRUE(t.style & DS_CONTROL) << id;
    EXPECT_FALSE(t.style & (WS_CAPTION | WS_BORDER | WS_POPUP | WS_VISIBLE)) << id;
  }
}

TEST(Resources, CleanListTemplateGeometry) {
  Template t = ReadTemplate(IDD_CLEANLIST);
  ASSERT_TRUE(t.ok);
  const TemplateItem* list = t.Item(IDC_CLEAN_LIST);
  const TemplateItem* button = t.Item(IDC_CLEAN_BUTTON);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(list->rect.left, 7);
  EXPECT_EQ(list->rect.top, 7);
  EXPECT_EQ(list->rect.right - list->rect.left, 318);
  EXPECT_EQ(list->rect.bottom - list->rect.top, 148);
  EXPECT_EQ(button->rect.left, 244);
  EXPECT_EQ(button->rect.top, 186);
  EXPECT_EQ(button->rect.right - button->rect.left, 61);
  EXPECT_EQ(button->rect.bottom - button->rect.top, 14);
  EXPECT_EQ(button->text, L"Start Cleaning");
}

TEST(Resources, EveryDialogTemplateIsThere) {
  for (int id : {IDD_MAIN, IDD_CLEANLIST, IDD_CONTROLPANEL, IDD_CHOOSEITEMS, IDD_COOKIES, IDD_PLUGINS}) {
    EXPECT_NE(FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)), nullptr) << id;
  }
}

TEST(Resources, MainWindowTemplateHasItsControls) {
  InitControls();
  HWND dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, NoOpDialog, 0);
  ASSERT_NE(dlg, nullptr);
  const LONG style = GetWindowLongA(dlg, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_NE(style & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
  EXPECT_FALSE(style & WS_THICKFRAME);

  const int nav[] = {IDC_NAV_CLEAN, IDC_NAV_CONTROL, IDC_NAV_ITEMS, IDC_NAV_COOKIES, IDC_NAV_PLUGINS};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("nav " + std::to_string(nav[i]));
    HWND b = GetDlgItem(dlg, nav[i]);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(GetWindowLongA(b, GWL_STYLE) & WS_VISIBLE);
  }
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_NAV_ITEMS)), "Fab Items");
  for (int id : {IDC_NAV_RESULTS, IDC_NAV_SHIELD}) {
    HWND b = GetDlgItem(dlg, id);
    ASSERT_NE(b, nullptr) << id;
    EXPECT_FALSE(GetWindowLongA(b, GWL_STYLE) & WS_VISIBLE) << id;
  }
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_NAV_RESULTS)), "Results");
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_NAV_SHIELD)), "Shield");
  for (int id : {IDC_TITLE_EXIT, IDC_TITLE_MINIMIZE, IDC_TITLE_HELP}) {
    HWND b = GetDlgItem(dlg, id);
    ASSERT_NE(b, nullptr) << id;
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
  }
  struct Link {
    int id;
    const char* text;
  };
  const Link links[] = {{IDC_LINK_HOME, ""},
                        {IDC_LINK_HELP, "SweepHarbor Online Help"},
                        {IDC_LINK_PRODUCTS, "Lumivale Products Information"},
                        {IDC_LINK_RESOURCES, "Lumivale Resource Center"},
                        {IDC_LINK_SUPPORT, "Lumivale Support Center"}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("link " + std::to_string(links[i].id));
    HWND s = GetDlgItem(dlg, links[i].id);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ClassOf(s), "Static");
    EXPECT_TRUE(GetWindowLongA(s, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(TextOf(s), links[i].text);
  }
  DestroyWindow(dlg);
}

void ExpectChildPage(HWND page) {
  const LONG style = GetWindowLongA(page, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_POPUP);
  EXPECT_NE(style & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << "DS_CONTROL";
}

TEST(Resources, CleanListPanelTemplate) {
  Panel p(IDD_CLEANLIST);
  ASSERT_NE(p.page, nullptr);
  ExpectChildPage(p.page);
  HWND list = p.Item(IDC_CLEAN_LIST);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ClassOf(list), "SysListView32");
  const LONG ls = GetWindowLongA(list, GWL_STYLE);
  EXPECT_EQ(ls & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(ls & LVS_SINGLESEL);
  EXPECT_TRUE(ls & LVS_SHOWSELALWAYS);
  HWND button = p.Item(IDC_CLEAN_BUTTON);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(TextOf(button), "Start Cleaning");
  // Template geometry in dialog units: list (7,7) 318 x 148, button (244,186) 61 x 14.
  RECT want{7, 7, 7 + 318, 7 + 148};
  MapDialogRect(p.page, &want);
  RECT got = RectIn(p.page, list);
  EXPECT_EQ(got.left, want.left);
  EXPECT_EQ(got.top, want.top);
  EXPECT_EQ(got.right, want.right);
  EXPECT_EQ(got.bottom, want.bottom);
  RECT wantButton{244, 186, 244 + 61, 186 + 14};
  MapDialogRect(p.page, &wantButton);
  RECT gotButton = RectIn(p.page, button);
  EXPECT_EQ(gotButton.left, wantButton.left);
  EXPECT_EQ(gotButton.top, wantButton.top);
  EXPECT_EQ(gotButton.right, wantButton.right);
  EXPECT_EQ(gotButton.bottom, wantButton.bottom);
}

TEST(Resources, ManageCookiesPanelTemplate) {
  Panel p(IDD_COOKIES);
  ASSERT_NE(p.page, nullptr);
  ExpectChildPage(p.page);
  EXPECT_EQ(TextOf(p.Item(IDC_COOKIE_LABEL)), "Select Cookies to Ignore");
  HWND list = p.Item(IDC_COOKIE_LIST);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ClassOf(list), "SysListView32");
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(TextOf(p.Item(IDC_COOKIE_IGNORE)), "Ignore Selected");
  // Everything inside the page.
  RECT page{};
  GetClientRect(p.page, &page);
  for (int id : {IDC_COOKIE_LABEL, IDC_COOKIE_LIST, IDC_COOKIE_IGNORE}) {
    RECT r = RectIn(p.page, p.Item(id));
    EXPECT_LE(r.right, page.right) << id;
    EXPECT_LE(r.bottom, page.bottom) << id;
  }
}

TEST(Resources, ControlPanelTemplateHasThePagesControls) {
  Panel p(IDD_CONTROLPANEL);
  ASSERT_NE(p.page, nullptr);
  ExpectChildPage(p.page);
  for (int id : {IDC_CP_TAB_SETTINGS, IDC_CP_TAB_SCHEDULE, IDC_CP_TAB_SHIELD}) {
    ASSERT_NE(p.Item(id), nullptr) << id;
    EXPECT_EQ(GetWindowLongA(p.Item(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
  }
  struct Ctl {
    int id;
    const char* text;
  };
  const Ctl texts[] = {
      {1061, "Automatically check for plugin list updates"},
      {1062, "Run at windows startup"},
      {1064, "Plugin files last updated on : "},
      {1063, "Check for Updates"},
      {1069, "Clean empty space on hard disk"},
      {1071, "Shred files"},
      {1076, "Shredding Method"},
      {1072, "Random (1 pass)"},
      {1073, "DOD 5220.22-M (3 passes)"},
      {1074, "NSA (7 passes)"},
      {1075, "Gutmann (35 passes)"},
      {1065, "Clean on windows shutdown/restart"},
      {1066, "After cleaning shutdown system"},
      {1067, "After Cleaning restart system"},
      {1068, "After Cleaning Prompt with the shutdown options"},
      {1077, "Clean on windows startup"},
      {1079, "Protect my home page"},
      {1083, "Keep this URL as my home page"},
      {1080, "Prevent my Browser from Hijack"},
      {1082, "Protect my Internet Explorer's Favorites"},
      {1084, "Silently Gaurd my system (Checking this option will not show the authorization window)"},
  };
  for (const Ctl& c : texts) {
    HWND w = p.Item(c.id);
    ASSERT_NE(w, nullptr) << c.id;
    EXPECT_EQ(TextOf(w), c.text) << c.id;
  }
  EXPECT_EQ(TextOf(p.Item(1086)), Str(IDS_SHRED_WARNING));
  // The panel starts on its Settings page: only that page's controls show.
  for (int id : {1061, 1062, 1063, 1064, 1069, 1071, 1072, 1073, 1074, 1075, 1076, 1086})
    EXPECT_TRUE(GetWindowLongA(p.Item(id), GWL_STYLE) & WS_VISIBLE) << id;
  for (int id : {1065, 1066, 1067, 1068, 1077, 1079, 1080, 1081, 1082, 1083, 1084})
    EXPECT_FALSE(GetWindowLongA(p.Item(id), GWL_STYLE) & WS_VISIBLE) << id;
  EXPECT_EQ(ClassOf(p.Item(IDC_CP_KEEPURL)), "Edit");
  EXPECT_NE(p.Item(IDC_CP_PAGE_TEXT), nullptr);
}

TEST(Resources, ChooseItemsTemplate) {
  Panel p(IDD_CHOOSEITEMS);
  ASSERT_NE(p.page, nullptr);
  ExpectChildPage(p.page);
  HWND list = p.Item(IDC_CI_PLUGIN_LIST);
  ASSERT_NE(list, nullptr);
  const LONG ls = GetWindowLongA(list, GWL_STYLE);
  EXPECT_EQ(ls & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(ls & LVS_SORTASCENDING);
  EXPECT_FALSE(ls & WS_VISIBLE);
  for (int id : {IDC_CI_TAB_WINDOWS, IDC_CI_TAB_BROWSERS, IDC_CI_TAB_MESSAGING, IDC_CI_TAB_PLUGINS}) {
    ASSERT_NE(p.Item(id), nullptr) << id;
    EXPECT_EQ(GetWindowLongA(p.Item(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
  }
}

TEST(Resources, ManagePluginsTemplate) {
  Panel p(IDD_PLUGINS);
  ASSERT_NE(p.page, nullptr);
  ExpectChildPage(p.page);
  EXPECT_EQ(TextOf(p.Item(1014)), "Create New Plugin (Add name or description)");
  EXPECT_EQ(TextOf(p.Item(1015)), "Modify Existing Plugin (check the option and select from list)");
  EXPECT_EQ(TextOf(p.Item(1031)), "Delete an Existing Plugin (check the option and select from list)");
  EXPECT_EQ(TextOf(p.Item(1088)), "Options");
  EXPECT_EQ(TextOf(p.Item(1039)), "Items in Plugin");
  EXPECT_EQ(TextOf(p.Item(1034)), "Add/Remove folder(s)");
  EXPECT_EQ(TextOf(p.Item(1037)), "Add/Remove File(s)");
  EXPECT_EQ(TextOf(p.Item(1038)), "Add/Remove Registry key(s)");
  EXPECT_EQ(TextOf(p.Item(1018)), "Next >>");
  EXPECT_EQ(TextOf(p.Item(1019)), Str(IDS_WIZARD_WELCOME));
  EXPECT_EQ(TextOf(p.Item(1020)), Str(IDS_WIZARD_WARNING));
  EXPECT_EQ(ClassOf(p.Item(1016)), "Edit");
  EXPECT_EQ(ClassOf(p.Item(1017)), "ComboBox");
  EXPECT_EQ(ClassOf(p.Item(1032)), "SysTreeView32");
  // Step 0 shows, step 1 waits hidden; "Items in Plugin" and the button show
  // in both steps.
  for (int id : {1014, 1015, 1031, 1016, 1088, 1019, 1039, 1018})
    EXPECT_TRUE(GetWindowLongA(p.Item(id), GWL_STYLE) & WS_VISIBLE) << id;
  for (int id : {1017, 1032, 1034, 1037, 1038, 1020})
    EXPECT_FALSE(GetWindowLongA(p.Item(id), GWL_STYLE) & WS_VISIBLE) << id;
}

// --------------------------------------------------- version and manifest

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  wchar_t* value = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &len) || value == nullptr)
    return L"";
  return value;
}

TEST(Resources, VersionNamesTheProduct) {
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
  ASSERT_NE(res, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), res)));
  ASSERT_NE(data, nullptr);
  // VerQueryValue wants a writable copy with room behind it.
  std::vector<char> info(data, data + SizeofResource(Module(), res));
  info.resize(info.size() * 3);
  EXPECT_EQ(VersionString(info, L"ProductName"), L"SweepHarbor");
  EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.04");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 1u);
  EXPECT_EQ(LOWORD(fixed->dwProductVersionMS), 4u);
}

TEST(Resources, ManifestAsksForCommonControls6AsInvoker) {
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(res, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(Module(), res)));
  ASSERT_NE(text, nullptr);
  const std::string manifest(text, SizeofResource(Module(), res));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
}  // namespace sh::test
