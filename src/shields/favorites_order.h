// The Favorites listing: the browser's menu order (the binary `Order` value
// under Explorer\MenuOrder\Favorites), then what else is in the folder.
//
// The value is untrusted bytes: any program can write it. The walk ends at
// an entry too small for its header or running past the value's end, skips
// entries with no name or a position past the count, reads names only
// inside their entry, and never sizes anything by the stored count.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shields/shield_ports.h"

namespace sh {

struct MenuOrderEntry {
  uint32_t position = 0;  // the stored one, or the entry's sequence number
  bool isFile = false;
  bool wide = false;        // the name is in wideName (UTF-16), not ansiName
  std::string ansiName;     // the short name, as stored
  std::u16string wideName;  // the UTF-16 short name, or the long name
};

struct MenuOrder {
  uint32_t count = 0;  // the number of entries the value says it holds
  std::vector<MenuOrderEntry> entries;  // in stored order
};

// `xpLongNames`: Windows XP and later NT 5 releases keep the long name in
// an extension block after the short name.
MenuOrder ParseMenuOrder(const std::string& value, bool xpLongNames);

struct FolderEntry {
  std::string name;
  bool directory = false;
};

struct FavoritesSources {
  std::string folder;      // the Favorites folder
  std::string orderValue;  // empty when the key or the value is missing
  std::vector<FolderEntry> onDisk;  // the folder's top level
  bool xpLongNames = false;
  std::function<std::string(const std::u16string&)> toAnsi;   // names to the ANSI code page
  std::function<std::string(const std::string& path)> urlOf;  // a shortcut's URL, empty when unreadable
};

// The menu order's entries by position, then the folder's other entries in
// disk order, without ".", ".." and "Desktop.ini". A stored name with a
// separator or a drive colon is left out (it would lead out of the folder);
// so are paths longer than 259
// characters are left out (a cut path would name another file); URLs are
// cut to 2083 characters.
std::vector<FavoriteItem> ListFavorites(const FavoritesSources& sources);

}  // namespace sh
