#include "model/custom_plugin_file.h"

#include <tinyxml.h>

#include "model/data_paths.h"
#include "toolkit/text.h"

namespace sh {

namespace {

std::string Text(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value ? std::string(value) : std::string();
}

const char* YesNo(bool on) { return on ? "yes" : "no"; }

TiXmlElement BuildPluginElement(const CustomPluginItems& plugin) {
  TiXmlElement element("Plugin");
  element.SetAttribute("Name", plugin.name);
  element.SetAttribute("ToBeCleaned", 1);

  TiXmlElement files("FILES");
  for (const std::string& path : plugin.files) {
    TiXmlElement file("FILE");
    file.SetAttribute("Name", path);
    files.InsertEndChild(file);
  }
  element.InsertEndChild(files);

  TiXmlElement folders("FOLDERS");
  for (const CustomFolderItem& item : plugin.folders) {
    TiXmlElement folder("FOLDER");
    folder.SetAttribute("Name", item.path);
    folder.SetAttribute("IncludeSubFolders", YesNo(item.includeSubFolders));
    folder.SetAttribute("DeleteSubFolders", YesNo(item.deleteSubFolders));
    folders.InsertEndChild(folder);
  }
  element.InsertEndChild(folders);

  TiXmlElement registry("REGISTRY");
  for (const std::string& key : plugin.registryKeys) {
    TiXmlElement value("REG_VALUE");
    value.SetAttribute("Key", key);
    value.SetAttribute("Value", "*.*");
    registry.InsertEndChild(value);
  }
  for (const std::string& full : plugin.registryValues) {
    // Key path and value name meet at the last backslash.
    size_t slash = full.find_last_of('\\');
    std::string key = slash == std::string::npos ? std::string() : full.substr(0, slash);
    std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    TiXmlElement value("REG_VALUE");
    value.SetAttribute("Key", StripTrailing(key, '\\'));
    value.SetAttribute("Value", StripLeading(name, '\\'));
    registry.InsertEndChild(value);
  }
  element.InsertEndChild(registry);
  return element;
}

TiXmlElement* FindPlugin(TiXmlDocument& document, const std::string& name) {
  for (TiXmlElement* p = document.RootElement()->FirstChildElement(); p; p = p->NextSiblingElement())
    if (EqualsNoCase(Text(*p, "Name"), name)) return p;
  return nullptr;
}

}  // namespace

int AddCustomPlugin(DataFileEnv& env, const CustomPluginItems& plugin) {
  const std::string path = GetCustomPluginPath(env.settings);
  const TiXmlElement element = BuildPluginElement(plugin);
  return ChangeDataDocument(env, path, [&](TiXmlDocument& document, bool parsed) {
    if (parsed) {
      document.RootElement()->InsertEndChild(element);
      return true;
    }
    // The file is replaced by a new document. One that exists but cannot be
    // read is kept beside it, so that nothing the user made is lost unseen.
    std::string unreadable;
    if (env.files.ReadAll(path, unreadable) && !unreadable.empty() && !env.files.WriteAll(path + ".bad", unreadable))
      return false;
    TiXmlElement root("CustomPlugins");
    root.InsertEndChild(element);
    document.InsertEndChild(root);
    return true;
  });
}

bool FindCustomPlugin(DataFileEnv& env, const std::string& name) {
  TiXmlDocument document;
  return ReadDataDocument(env, GetCustomPluginPath(env.settings), document) &&
         FindPlugin(document, name) != nullptr;
}

int RemoveCustomPlugin(DataFileEnv& env, const std::string& name) {
  return ChangeDataDocument(env, GetCustomPluginPath(env.settings), [&](TiXmlDocument& document, bool parsed) {
    TiXmlElement* element = parsed ? FindPlugin(document, name) : nullptr;
    if (element == nullptr) return false;
    document.RootElement()->RemoveChild(element);
    return true;
  });
}

std::vector<std::string> CustomPluginNames(DataFileEnv& env) {
  std::vector<std::string> names;
  TiXmlDocument document;
  if (!ReadDataDocument(env, GetCustomPluginPath(env.settings), document)) return names;
  for (const TiXmlElement* p = document.RootElement()->FirstChildElement(); p; p = p->NextSiblingElement())
    if (const char* name = p->Attribute("Name")) names.push_back(name);
  return names;
}

int EditCustomPlugin(DataFileEnv& env, const std::string& name, const CustomPluginItems& plugin) {
  const TiXmlElement element = BuildPluginElement(plugin);
  // One store: a failure leaves the old plugin as it was, never neither.
  return ChangeDataDocument(env, GetCustomPluginPath(env.settings), [&](TiXmlDocument& document, bool parsed) {
    TiXmlElement* old = parsed ? FindPlugin(document, name) : nullptr;
    if (old == nullptr) return false;
    document.RootElement()->RemoveChild(old);
    document.RootElement()->InsertEndChild(element);
    return true;
  });
}

bool ReadCustomPlugin(DataFileEnv& env, const std::string& name, CustomPluginItems& plugin) {
  plugin = CustomPluginItems();
  TiXmlDocument document;
  if (!ReadDataDocument(env, GetCustomPluginPath(env.settings), document)) return false;
  const TiXmlElement* element = FindPlugin(document, name);
  if (element == nullptr) return false;
  plugin.name = Text(*element, "Name");
  for (const TiXmlElement* s = element->FirstChildElement(); s; s = s->NextSiblingElement()) {
    for (const TiXmlElement* item = s->FirstChildElement(); item; item = item->NextSiblingElement()) {
      if (EqualsNoCase(s->Value(), "FILES")) {
        plugin.files.push_back(Text(*item, "Name"));
      } else if (EqualsNoCase(s->Value(), "FOLDERS")) {
        plugin.folders.push_back(CustomFolderItem{Text(*item, "Name"), EqualsNoCase(Text(*item, "IncludeSubFolders"), "yes"),
                                                  EqualsNoCase(Text(*item, "DeleteSubFolders"), "yes")});
      } else if (EqualsNoCase(s->Value(), "REGISTRY")) {
        std::string value = Text(*item, "Value");
        if (value == "*.*") plugin.registryKeys.push_back(Text(*item, "Key"));
        else plugin.registryValues.push_back(Text(*item, "Key") + "\\" + value);
      }
    }
  }
  return true;
}

}  // namespace sh
