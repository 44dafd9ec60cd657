#include "model/plugin_file.h"

#include <tinyxml.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "model/data_paths.h"
#include "paths/reg_path.h"
#include "toolkit/text.h"

namespace sh {

namespace {

const char kCustomDescription[] = "Custom Plugin";

std::string Text(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value ? std::string(value) : std::string();
}

int Integer(const TiXmlElement& element, const char* name) { return IntegerFromText(element.Attribute(name)); }

bool IsYes(const TiXmlElement& element, const char* name) { return EqualsNoCase(Text(element, name), "yes"); }

bool NameIs(const TiXmlElement& element, const char* name) { return EqualsNoCase(element.Value(), name); }

// Root and subkey of a registry path text. False for a path that names no
// key below its root: cleaning such an entry would empty a whole root.
bool SplitRegistryPath(const std::string& text, RegRoot& root, std::string& subKey) {
  root = RootKeyFromPath(text);
  subKey = SubKeyFromPath(text);
  return IsUsableSubKey(subKey);
}

// Items of a spot: only the first child element of the spot is read.
void ReadSpotItems(DataFileEnv& env, const TiXmlElement& spotElement, CCleaningSpot& spot) {
  const TiXmlElement* container = spotElement.FirstChildElement();
  if (container == nullptr) return;
  for (const TiXmlElement* item = container->FirstChildElement(); item; item = item->NextSiblingElement()) {
    int type = Integer(*item, "Type");
    if (type == 0) {
      std::string path = Text(*item, "name");
      // A token that stood for nothing leaves a path to something wider
      // (":Sys_Temp:" alone becomes the current folder): skipped.
      if (!env.machine.ExpandPathMacros(path)) continue;
      // The spot list's DeleteSubDir means: descend into subfolders.
      spot.AddFolder(path, Text(*item, "flags"), Integer(*item, "DeleteRootDir"), Integer(*item, "DeleteSubDir"), 0);
    } else if (type == 1) {
      std::string text = Text(*item, "name");
      // No Yahoo user: "...\profiles\" would empty every profile.
      if (!env.machine.ExpandYahooUser(text)) continue;
      RegRoot root;
      std::string subKey;
      if (SplitRegistryPath(text, root, subKey)) spot.AddRegKey(root, subKey);
    }
  }
}

// The plugin's application is present when any test succeeds. Every test is
// evaluated, with no short cut after the first success.
void RunPresenceTests(DataFileEnv& env, const TiXmlElement& findData, CPluginSpots& plugin) {
  for (const TiXmlElement* test = findData.FirstChildElement(); test; test = test->NextSiblingElement()) {
    if (NameIs(*test, "REG_KEY")) {
      std::string key = Text(*test, "Key");
      if (key.empty()) continue;
      if (env.machine.RegistryKeyExists(ToUpperAscii(key))) plugin.Installed = 1;
    } else if (NameIs(*test, "FILE")) {
      std::string path = Text(*test, "Name");
      // ":PF:\App\app.exe" with no Program Files folder proves nothing.
      if (!env.machine.ExpandPathMacros(path)) continue;
      if (!path.empty() && env.machine.PathExists(path)) plugin.Installed = 1;
    }
  }
}

void ReadFiles(DataFileEnv& env, const TiXmlElement& section, CCleaningSpot& spot) {
  for (const TiXmlElement* item = section.FirstChildElement(); item; item = item->NextSiblingElement()) {
    std::string path = Text(*item, "Name");
    if (path.empty() || !env.machine.ExpandPathMacros(path)) continue;
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) spot.AddFolder(path, std::string(), 0, 0, 0);
    else spot.AddFolder(path.substr(0, slash), path.substr(slash + 1), 0, 0, 0);
  }
}

void ReadFolders(DataFileEnv& env, const TiXmlElement& section, CCleaningSpot& spot, bool custom) {
  for (const TiXmlElement* item = section.FirstChildElement(); item; item = item->NextSiblingElement()) {
    std::string path = Text(*item, "Name");
    if (path.empty() || !env.machine.ExpandPathMacros(path)) continue;
    spot.AddFolder(path, std::string(), 0, IsYes(*item, "IncludeSubFolders") ? 1 : 0,
                   custom && IsYes(*item, "DeleteSubFolders") ? 1 : 0);
  }
}

// Plugin registry paths expand no token, so none can stand for nothing and
// widen a key here; a root alone is refused as everywhere.
void ReadRegistry(const TiXmlElement& section, CCleaningSpot& spot) {
  for (const TiXmlElement* item = section.FirstChildElement(); item; item = item->NextSiblingElement()) {
    const bool isKey = NameIs(*item, "REG_KEY");
    if (!isKey && !NameIs(*item, "REG_VALUE")) continue;
    std::string key = ToUpperAscii(Text(*item, "Key"));
    if (key.empty()) continue;
    RegRoot root;
    std::string subKey;
    if (!SplitRegistryPath(key, root, subKey)) continue;
    std::string value = Text(*item, "Value");
    if (isKey || EqualsNoCase(value, "*.*")) spot.AddRegKey(root, subKey);
    else spot.AddRegValue(root, subKey, value);
  }
}

int LoadPlugins(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path, bool custom, int* version) {
  TiXmlDocument document;
  if (!ReadDataDocument(env, path, document)) return 0;
  const TiXmlElement* root = document.RootElement();
  if (!custom && version) *version = Integer(*root, "Version");
  for (const TiXmlElement* p = root->FirstChildElement(); p; p = p->NextSiblingElement()) {
    const std::string name = Text(*p, "Name");
    auto plugin = std::make_unique<CPluginSpots>(name, custom ? std::string(kCustomDescription) : Text(*p, "Description"));
    plugin->ToBeCleaned = Integer(*p, "ToBeCleaned");
    plugin->IsCustom = custom ? 1 : 0;
    auto spot = CreateSpot(name, plugin->ToBeCleaned);
    for (const TiXmlElement* s = p->FirstChildElement(); s; s = s->NextSiblingElement()) {
      if (NameIs(*s, "FIND_DATA")) {
        if (!custom) RunPresenceTests(env, *s, *plugin);
      } else if (NameIs(*s, "FILES")) {
        ReadFiles(env, *s, *spot);
      } else if (NameIs(*s, "FOLDERS")) {
        ReadFolders(env, *s, *spot, custom);
      } else if (NameIs(*s, "REGISTRY")) {
        ReadRegistry(*s, *spot);
      }
    }
    plugin->AddSpot(std::move(spot));
    if (custom) catalog.AddCustomPlugin(std::move(plugin));
    else catalog.AddPlugin(std::move(plugin));
  }
  return 1;
}

// The first element (document order) whose name equals `name` ignoring
// case: a spot (one level below its group, by "name") or a plugin (by "Name").
TiXmlElement* FindByName(TiXmlDocument& document, bool spots, const std::string& name) {
  for (TiXmlElement* e = document.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (!spots && EqualsNoCase(Text(*e, "Name"), name)) return e;
    for (TiXmlElement* s = spots ? e->FirstChildElement() : nullptr; s; s = s->NextSiblingElement())
      if (EqualsNoCase(Text(*s, "name"), name)) return s;
  }
  return nullptr;
}

int SaveOneChoice(DataFileEnv& env, const std::string& path, bool spots, const std::string& name, int value) {
  return ChangeDataDocument(env, path, [&](TiXmlDocument& document, bool parsed) {
    if (!parsed) return false;
    TiXmlElement* element = FindByName(document, spots, name);
    if (element == nullptr) return false;
    element->SetAttribute("ToBeCleaned", value);
    return true;
  });
}

}  // namespace

int IntegerFromText(const char* text) {
  if (text == nullptr) return 0;
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // clamped below; no overflow
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int LoadSpotList(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path, int isWindowsXP, int* version) {
  TiXmlDocument document;
  if (!ReadDataDocument(env, path, document)) return 0;
  const TiXmlElement* root = document.RootElement();
  if (std::strcmp(root->Value(), "CleaningSpots") != 0) return 0;
  if (version) *version = Integer(*root, "Version");
  for (const TiXmlElement* g = root->FirstChildElement(); g; g = g->NextSiblingElement()) {
    auto group = std::make_unique<CSpotGroup>(Text(*g, "name"), Integer(*g, "GroupType"));
    for (const TiXmlElement* s = g->FirstChildElement(); s; s = s->NextSiblingElement()) {
      if (EqualsNoCase(Text(*s, "OS"), "XP") && !isWindowsXP) continue;
      auto spot = CreateSpot(Text(*s, "name"), Integer(*s, "ToBeCleaned"));
      spot->SetDescription(Text(*s, "Description"));
      ReadSpotItems(env, *s, *spot);
      spot->Type = Integer(*s, "Type");
      group->AddSpot(std::move(spot));
    }
    catalog.AddGroup(std::move(group));
  }
  return 1;
}

int LoadPluginList(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path, int* version) {
  return LoadPlugins(env, catalog, path, false, version);
}

int LoadCustomPlugins(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path) {
  return LoadPlugins(env, catalog, path, true, nullptr);
}

int CarryOverChoices(const TiXmlDocument& from, TiXmlDocument& to, bool spots) {
  if (from.RootElement() == nullptr || to.RootElement() == nullptr) return 0;
  int carried = 0;
  auto carry = [&](const TiXmlElement& old, const char* nameAttribute) {
    const char* choice = old.Attribute("ToBeCleaned");
    if (choice == nullptr) return;
    if (TiXmlElement* now = FindByName(to, spots, Text(old, nameAttribute))) {
      now->SetAttribute("ToBeCleaned", IntegerFromText(choice));
      ++carried;
    }
  };
  for (const TiXmlElement* e = from.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (!spots) carry(*e, "Name");
    for (const TiXmlElement* s = spots ? e->FirstChildElement() : nullptr; s; s = s->NextSiblingElement())
      carry(*s, "name");
  }
  return carried;
}

int SaveSpotChoice(DataFileEnv& env, const CCleaningSpot& spot, int value) {
  return SaveOneChoice(env, GetSpotListPath(env.settings), true, spot.Name, value);
}

int SavePluginChoice(DataFileEnv& env, const CPluginSpots& plugin, int value) {
  return SaveOneChoice(env, GetPluginListPath(env.settings), false, plugin.Name, value);
}

int SaveCustomPluginChoice(DataFileEnv& env, const CPluginSpots& plugin, int value) {
  return SaveOneChoice(env, GetCustomPluginPath(env.settings), false, plugin.Name, value);
}

}  // namespace sh
