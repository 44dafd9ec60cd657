// The Manage Plugins page (template 179): the custom plugin wizard in two
// steps, choosing create, modify or delete, then gathering the plugin's
// folders, files and registry items through the three add dialogs. The
// decisions are in panels/plugin_wizard.h.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "model/data_file.h"
#include "model/data_file_win.h"
#include "panels/add_dialogs_win.h"
#include "panels/plugin_wizard.h"
#include "toolkit/common_controls_win.h"
#include "toolkit/white_panel_win.h"
#include "toolkit/tree_view_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

class CPluginWizardPanel : public CWhitePanel {
 public:
  // Stores through this computer's data files under `lock`; after every
  // change to the custom plugins file `reloadCustomPlugins` is called (the
  // owner of the catalog reads them again). `runner` runs the add dialogs
  // (null: modally).
  CPluginWizardPanel(ISettingsStore& settings, IPrompt& prompt, CDataFileLock& lock,
                     std::function<void(DataFileEnv&)> reloadCustomPlugins, IAddDialogRunner* runner = nullptr);
  ~CPluginWizardPanel() override;

  void EnterStep(int step);
  const CPluginWizard& wizard() const { return wizard_; }
  const CTreeView& tree() const { return tree_; }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  WizardAction Action() const;
  std::string SelectedPlugin() const;
  void FillPluginList(const std::vector<std::string>& names);
  void ShowView(const WizardView& view);
  RECT ItemRect(int id) const;
  void PlaceStepOneControls();
  void OnNext();
  void OnAddFolders();
  void OnAddFiles();
  void OnAddRegistry();
  // The tree afresh from the wizard's items: the root and its three nodes.
  void BuildTree();
  void Layout(int cx, int cy);
  void Paint(HDC dc) override;

  CWinFileStore files_;
  CWinPluginEnvironment machine_;
  DataFileEnv env_;
  CPluginWizard wizard_;
  CModalAddDialogRunner modal_;
  IAddDialogRunner& runner_;
  CTreeView tree_;
  ScopedImageList treeImages_;
  ScopedFont titleFont_;
  RECT labelStepZero_ = {0, 0, 0, 0};
};

}  // namespace sh
