// The custom plugin wizard (Manage Plugins) without Win32: its two steps,
// what each shows, the checks of "Next >>", what "Finish" writes into the
// custom plugins file, and the tree of the gathered items. The panel
// (CPluginWizardPanel) maps its controls onto it; every message is told
// through the environment's prompt.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/catalog.h"
#include "model/custom_plugin_file.h"
#include "model/data_file.h"

namespace sh {

extern const char kSelectPluginText[];   // "Please Select a Plugin from the list"
extern const char kErrorLoadingText[];   // "Error Loading Plugin"
extern const char kEnterNameText[];      // "Please Enter a Plugin Name"
extern const char kNameTakenText[];      // a name that is already a plugin's
extern const char kDeleteQuestion[];     // "Are you sure you want to delete (%s) plugin"
extern const char kDeletedText[];        // "Plugin Deleted Successfully"
extern const char kNotDeletedText[];     // "Could not deleted Plugin"
extern const char kAddedText[];          // "Custom Plugin added successfully"
extern const char kEditedText[];         // "Custom Plugin edited successfully"

enum class WizardAction { kCreate, kModify, kDelete };

// Which controls a step shows (the rest of the panel's are hidden) and the
// texts that change with it.
struct WizardView {
  bool welcome = false, radios = false, nameEdit = false, pluginList = false, options = false;
  bool warning = false, tree = false, addButtons = false;
  const char* button = "";
  const char* title = "";
};
WizardView ViewOfStep(int step, WizardAction action);

// What the wizard gathers for one plugin.
struct WizardItems {
  std::vector<CustomFolderItem> folders;
  std::vector<std::string> files;
  std::vector<std::string> registryKeys;
  std::vector<std::string> registryValues;
};

// The plugin "Finish" writes. A key item that is a whole registry root (a
// hand-edited file can hold one) is left out: cleaning it would empty the
// root.
CustomPluginItems PluginToWrite(const std::string& name, const WizardItems& items);

// One of the tree's three branches below the root: its node and children.
struct WizardBranch {
  std::string text;
  int image = 0, selectedImage = 0;
  std::vector<std::string> children;
};
// Tree images: 0 the root, 1 (selected 2) folders, 3 registry, 4 files.
constexpr int kRootImage = 0;
// "Folders", "Files" and "Registry" in this order, with their items (the
// registry's keys first, then its values).
std::vector<WizardBranch> WizardBranches(const WizardItems& items);

// Clears the catalog's custom plugins and reads them again from the custom
// plugins file, so that the lists that show plugins follow the file.
void ReloadCustomPlugins(DataFileEnv& env, CSpotCatalog& catalog);

class CPluginWizard {
 public:
  // `reload` is called after every change to the file, with the wizard's
  // environment: the owner of the catalog reads the custom plugins again.
  CPluginWizard(DataFileEnv& env, std::function<void(DataFileEnv&)> reload) : env_(env), reload_(std::move(reload)) {}

  int step() const { return step_; }
  // Step 0: nothing being modified; the names for the plugin list.
  std::vector<std::string> EnterStepZero();

  // What "Next >>" asks the panel to do after it.
  struct NextResult {
    enum Focus { kNoFocus, kNameEdit, kPluginList } focus = kNoFocus;
    bool refillList = false;  // a plugin was deleted
  };
  // "Next >>" in step 0 with the action ticked, the typed name and the
  // list's selection (empty: none).
  NextResult Next(WizardAction action, const std::string& typedName, const std::string& selected);
  // "Finish" in step 1: writes the plugin, reloads, back to step 0.
  void Finish();

  // The tree's root text: the plugin being modified, else the new name.
  const std::string& RootText() const { return modifying_.empty() ? newName_ : modifying_; }
  const std::string& modifying() const { return modifying_; }
  WizardItems& items() { return items_; }
  const WizardItems& items() const { return items_; }

 private:
  void Tell(const std::string& text);

  DataFileEnv& env_;
  std::function<void(DataFileEnv&)> reload_;
  int step_ = 0;
  std::string modifying_;
  std::string newName_;
  WizardItems items_;
};

}  // namespace sh
