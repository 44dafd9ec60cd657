#include "panels/plugin_wizard.h"

#include "model/data_paths.h"
#include "model/plugin_file.h"
#include "panels/add_items.h"
#include "toolkit/text.h"

namespace sh {

const char kSelectPluginText[] = "Please Select a Plugin from the list";
const char kErrorLoadingText[] = "Error Loading Plugin";
const char kEnterNameText[] = "Please Enter a Plugin Name";
const char kNameTakenText[] = "A plugin with this name already exists, please enter another name";
const char kDeleteQuestion[] = "Are you sure you want to delete (%s) plugin";
const char kDeletedText[] = "Plugin Deleted Successfully";
const char kNotDeletedText[] = "Could not deleted Plugin";
const char kAddedText[] = "Custom Plugin added successfully";
const char kEditedText[] = "Custom Plugin edited successfully";

WizardView ViewOfStep(int step, WizardAction action) {
  WizardView view;
  if (step == 0) {
    view.welcome = view.radios = view.options = true;
    view.nameEdit = action == WizardAction::kCreate;
    view.pluginList = !view.nameEdit;
    view.button = "Next >>";
    view.title = "Manage Custom Plugins";
  } else {
    view.warning = view.tree = view.addButtons = true;
    view.button = "Finish";
    view.title = "Manage Custom Plugins Data";
  }
  return view;
}

CustomPluginItems PluginToWrite(const std::string& name, const WizardItems& items) {
  CustomPluginItems plugin;
  plugin.name = name;
  plugin.files = items.files;
  plugin.folders = items.folders;
  for (const std::string& key : items.registryKeys)
    if (!IsWholeRegistryRoot(key)) plugin.registryKeys.push_back(key);
  plugin.registryValues = items.registryValues;
  return plugin;
}

std::vector<WizardBranch> WizardBranches(const WizardItems& items) {
  WizardBranch folders{"Folders", 1, 2, {}};
  for (const CustomFolderItem& folder : items.folders) folders.children.push_back(folder.path);
  WizardBranch files{"Files", 4, 4, items.files};
  WizardBranch registry{"Registry", 3, 3, items.registryKeys};
  registry.children.insert(registry.children.end(), items.registryValues.begin(), items.registryValues.end());
  return {folders, files, registry};
}

void ReloadCustomPlugins(DataFileEnv& env, CSpotCatalog& catalog) {
  catalog.ClearCustomPlugins();
  LoadCustomPlugins(env, catalog, GetCustomPluginPath(env.settings));
}

void CPluginWizard::Tell(const std::string& text) {
  PromptRequest request;
  request.text = text;
  env_.prompt.Ask(request);
}

std::vector<std::string> CPluginWizard::EnterStepZero() {
  step_ = 0;
  // A Modify whose Finish failed must not leave its name for the next
  // Create to edit.
  modifying_.clear();
  newName_.clear();
  return CustomPluginNames(env_);
}

CPluginWizard::NextResult CPluginWizard::Next(WizardAction action, const std::string& typedName,
                                              const std::string& selected) {
  NextResult result;
  if (step_ != 0) return result;
  switch (action) {
    case WizardAction::kModify: {
      if (selected.empty()) {
        Tell(kSelectPluginText);
        result.focus = NextResult::kPluginList;
        return result;
      }
      items_ = WizardItems();
      modifying_ = selected;
      step_ = 1;
      CustomPluginItems plugin;
      if (!ReadCustomPlugin(env_, selected, plugin)) {
        Tell(kErrorLoadingText);
        return result;
      }
      items_.files = plugin.files;
      items_.folders = plugin.folders;
      items_.registryKeys = plugin.registryKeys;
      items_.registryValues = plugin.registryValues;
      return result;
    }
    case WizardAction::kCreate: {
      // The typed name is untrusted: blanks around it are dropped, and a
      // blank or taken name writes nothing.
      const std::string name = TrimWhite(typedName);
      if (name.empty()) {
        Tell(kEnterNameText);
        result.focus = NextResult::kNameEdit;
        return result;
      }
      if (FindCustomPlugin(env_, name)) {
        Tell(kNameTakenText);
        result.focus = NextResult::kNameEdit;
        return result;
      }
      items_ = WizardItems();
      modifying_.clear();
      newName_ = name;
      step_ = 1;
      return result;
    }
    case WizardAction::kDelete: {
      if (selected.empty()) {
        Tell(kSelectPluginText);
        result.focus = NextResult::kPluginList;
        return result;
      }
      PromptRequest question;
      question.text = Format(kDeleteQuestion, selected.c_str());
      question.caption = "Confirmation";
      question.kind = PromptKind::kYesNo;
      if (env_.prompt.Ask(question) != PromptAnswer::kYes) return result;
      if (RemoveCustomPlugin(env_, selected)) {
        result.refillList = true;
        // The lists that show plugins must not keep the deleted one.
        if (reload_) reload_(env_);
        Tell(kDeletedText);
      } else {
        Tell(kNotDeletedText);
      }
      return result;
    }
  }
  return result;
}

void CPluginWizard::Finish() {
  if (step_ != 1) return;
  if (modifying_.empty()) {
    // The success is told only when the file was stored; a failed store has
    // told its own message.
    if (AddCustomPlugin(env_, PluginToWrite(newName_, items_))) Tell(kAddedText);
    newName_.clear();
  } else {
    if (EditCustomPlugin(env_, modifying_, PluginToWrite(modifying_, items_))) Tell(kEditedText);
    modifying_.clear();
  }
  if (reload_) reload_(env_);
  step_ = 0;
}

}  // namespace sh
