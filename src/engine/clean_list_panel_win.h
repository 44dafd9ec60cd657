// The Clean list page: what will be cleaned, with live Files, Size and
// Status per row, the pending/done marks, and the Start Cleaning / Abort
// button. It is the window's progress view and run control for the engine.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "engine/clean_run.h"
#include "engine/spot_cleaner.h"
#include "model/catalog.h"
#include "toolkit/controls_win.h"
#include "toolkit/skin_panel_win.h"

namespace sh {

// What the panel needs from the main window.
class ICleanListOwner {
 public:
  virtual ~ICleanListOwner() = default;
  // The main window's cleaning-in-progress flag (navigation is held off).
  virtual void SetCleaningInProgress(bool on) = 0;
  // A run started for Windows shutdown has ended: shut down, restart or
  // prompt as the user chose.
  virtual void AfterShutdownRun() = 0;
};

// Column numbers of the list.
constexpr int kFilesColumn = 1;
constexpr int kSizeColumn = 2;
constexpr int kStatusColumn = 3;

class CCleanListPanel : public CSkinPanel, public ICleanReport, public IRunControl {
 public:
  CCleanListPanel(CSpotCatalog& catalog, CSpotCleaner& cleaner, IBrowserWindows& browsers, IClock& clock,
                  ICleanListOwner& owner);

  // Rebuilds the rows from the catalog: chosen spots, chosen installed
  // plugins, chosen custom plugins; then the free-space row when the
  // CleanFreeSpace setting asks for it (and `withFreeSpace` allows it).
  void RefreshCleanList(bool withFreeSpace = true);
  // The button: starts a run, or during a run asks it to stop.
  void RunCleaning();
  // A run without the browser question (start-up and shutdown cleaning);
  // afterwards, for a shutdown run, the owner's after-cleaning action. While
  // a run is going nothing is done and false comes back: an unattended
  // start must not stop the run in progress.
  bool RunUnattended(bool forShutdown);
  // Asks a run in progress to stop, as the Abort button does; nothing when
  // idle.
  void StopRun();
  void SetRowState(int row, int state);
  bool running() const { return run_.running(); }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int RowState(int row) const;

  void SetCellText(int row, int column, const std::string& text);
  std::string CellText(int row, int column) const;

  // ICleanReport: the button's label, the Status, Files and Size columns
  // and the marks.
  void RunStarted() override;
  void StopRequested() override;
  void RowStarted(int row) override;
  void CountsChanged(int row, int files, double size) override;
  void RowDone(int row, const RowOutcome& outcome) override;
  void RunEnded() override;
  // IRunControl: at most 10 pending messages per pump; 10 ms after a file.
  bool IsRunning() override { return run_.running(); }
  void PumpMessages() override;
  void PauseAfterFile() override;

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void AppendRow(const std::string& name, int image, const CleanItem& item);
  // Before a run: the list is built again when the free-space row no longer
  // matches the setting (changed while the list was shown, or never shown)
  // and what the run allows.
  void MatchFreeSpaceSetting(bool wanted);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  void DrawRow(HDC dc, int row, bool selected);
  void Layout(int cx, int cy);

  CSpotCatalog& catalog_;
  CSpotCleaner& cleaner_;
  ICleanListOwner& owner_;
  CCleaningRun run_;
  std::vector<CleanItem> rows_;
  std::map<int, int> rowStates_;
  int forShutdown_ = 0;
  CListView list_;
  HIMAGELIST images_ = nullptr;  // owned by the list control once set
};

}  // namespace sh
