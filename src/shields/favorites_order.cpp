#include "shields/favorites_order.h"

#include <algorithm>
#include <map>

#include "toolkit/text.h"

namespace sh {
namespace {

constexpr size_t kCountOffset = 16;
constexpr size_t kFirstEntry = 20;
constexpr size_t kNameOffset = 22;            // in an entry
constexpr size_t kLongNameInExtension = 20;  // in the extension block
constexpr uint32_t kNoPosition = 0xFFFFFFFBu;
constexpr uint16_t kIsFile = 0x2;
constexpr uint16_t kWideShortName = 0x4;
constexpr size_t kMaxPath = 259;
constexpr size_t kMaxUrl = 2083;

uint32_t U32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint16_t U16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

// A zero-terminated ANSI string in [at, end); false without a terminator.
bool AnsiAt(const std::string& b, size_t at, size_t end, std::string* out, size_t* next) {
  for (size_t i = at; i < end; ++i)
    if (b[i] == '\0') {
      *out = b.substr(at, i - at);
      *next = i + 1;
      return true;
    }
  return false;
}

bool WideAt(const std::string& b, size_t at, size_t end, std::u16string* out, size_t* next) {
  std::u16string s;
  for (size_t i = at; i + 1 < end; i += 2) {
    const char16_t c = static_cast<char16_t>(U16(b, i));
    if (c == 0) {
      *out = std::move(s);
      *next = i + 2;
      return true;
    }
    s += c;
  }
  return false;
}

}  // namespace

MenuOrder ParseMenuOrder(const std::string& value, bool xpLongNames) {
  MenuOrder order;
  if (value.size() < kFirstEntry) return order;
  order.count = U32(value, kCountOffset);
  size_t at = kFirstEntry;
  for (uint32_t sequence = 0; sequence < order.count && value.size() - at >= 4; ++sequence) {
    const uint32_t size = U32(value, at);
    // Too small for its own header (a size of 0 would never move on), or
    // past the end: nothing after it can be trusted.
    if (size <= kNameOffset || size > value.size() - at) break;
    const size_t end = at + size;
    MenuOrderEntry entry;
    const uint32_t stored = U32(value, at + 4);
    entry.position = stored == kNoPosition ? sequence : stored;
    const uint16_t type = U16(value, at + 10);
    entry.isFile = (type & kIsFile) != 0;
    size_t next = 0;
    bool named = false;
    if (type & kWideShortName) {
      named = WideAt(value, at + kNameOffset, end, &entry.wideName, &next);
      entry.wide = true;
    } else {
      named = AnsiAt(value, at + kNameOffset, end, &entry.ansiName, &next);
      // The extension block starts on an even offset after an ANSI name.
      next = at + kNameOffset + (((next - (at + kNameOffset)) + 1) & ~static_cast<size_t>(1));
    }
    if (named && xpLongNames && next <= end && end - next > kLongNameInExtension) {
      std::u16string longName;
      size_t after = 0;
      if (WideAt(value, next + kLongNameInExtension, end, &longName, &after) && !longName.empty()) {
        entry.wideName = std::move(longName);
        entry.wide = true;
      }
    }
    if (named && entry.position < order.count) order.entries.push_back(std::move(entry));
    at = end;
  }
  return order;
}

std::vector<FavoriteItem> ListFavorites(const FavoritesSources& sources) {
  std::string folder = sources.folder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  std::vector<FavoriteItem> list;
  const auto add = [&](const std::string& name, bool isFile) {
    // A stored name is one name in the folder, never a way out of it: a
    // refused entry's path is deleted.
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos ||
        name.size() + folder.size() > kMaxPath)
      return;
    FavoriteItem item;
    item.path = folder + name;
    item.isFile = isFile;
    if (isFile && sources.urlOf) item.url = sources.urlOf(item.path).substr(0, kMaxUrl);
    list.push_back(std::move(item));
  };
  // By position; a later entry at a position already taken replaces it.
  std::map<uint32_t, const MenuOrderEntry*> byPosition;
  const MenuOrder order = ParseMenuOrder(sources.orderValue, sources.xpLongNames);
  for (const MenuOrderEntry& e : order.entries) byPosition[e.position] = &e;
  for (const auto& [position, e] : byPosition) {
    (void)position;
    add(e->wide ? (sources.toAnsi ? sources.toAnsi(e->wideName) : std::string()) : e->ansiName, e->isFile);
  }
  for (const FolderEntry& f : sources.onDisk) {
    if (f.name == "." || f.name == ".." || EqualsNoCase(f.name, "Desktop.ini")) continue;
    const std::string path = folder + f.name;
    if (std::any_of(list.begin(), list.end(), [&path](const FavoriteItem& i) { return EqualsNoCase(i.path, path); }))
      continue;
    add(f.name, !f.directory);
  }
  return list;
}

}  // namespace sh
