// The custom plugin file as the custom plugin wizard changes it: add,
// find, remove, list, edit, and read one plugin's items back.
#pragma once

#include <string>
#include <vector>

#include "model/data_file.h"

namespace sh {

struct CustomFolderItem {
  std::string path;
  bool includeSubFolders = false;
  bool deleteSubFolders = false;
};

// One plugin as the wizard gathers it. Registry keys are whole key paths
// (root name, backslash, key); registry values are a key path, a backslash
// and the value name.
struct CustomPluginItems {
  std::string name;
  std::vector<std::string> files;
  std::vector<CustomFolderItem> folders;
  std::vector<std::string> registryKeys;
  std::vector<std::string> registryValues;
};

// Appends a `Plugin` element (Name, ToBeCleaned 1; FILES, FOLDERS, REGISTRY
// always, in this order) to the file found through the `path` setting; a
// missing or unreadable file becomes a new document with a `CustomPlugins`
// root (an unreadable one is kept beside it as "<name>.bad" first). Returns
// SaveDataDocument's result.
int AddCustomPlugin(DataFileEnv& env, const CustomPluginItems& plugin);
// True when a plugin element's Name equals `name` ignoring case.
bool FindCustomPlugin(DataFileEnv& env, const std::string& name);
// Removes the first plugin whose Name matches and stores the file; 0 when
// there is none or the file could not be stored.
int RemoveCustomPlugin(DataFileEnv& env, const std::string& name);
// The Name of every plugin in file order; empty when the file is missing or
// unreadable.
std::vector<std::string> CustomPluginNames(DataFileEnv& env);
// Replaces the first plugin named `name` by `plugin` in one store: the
// edited plugin moves to the end of the file and is chosen again. 0 when
// nothing was written (no such plugin, or the store failed: the old plugin
// stays).
int EditCustomPlugin(DataFileEnv& env, const std::string& name, const CustomPluginItems& plugin);
// The items of the first plugin named `name` (ignoring case), as the wizard
// shows them for editing: a REGISTRY child whose Value is exactly "*.*" is a
// key, any other one a value (Key + "\" + Value). False when the file cannot
// be read or has no such plugin.
bool ReadCustomPlugin(DataFileEnv& env, const std::string& name, CustomPluginItems& plugin);

}  // namespace sh
