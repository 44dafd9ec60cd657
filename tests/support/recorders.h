// Test doubles that record what the engine reports and answer what it asks.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/clean_run.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh::test {

class RecordingLog : public CCleanLog {
 public:
  bool Open(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  bool Write(const std::string& line) override {
    lines.push_back(line);
    return true;
  }
  void Close() override { ++closed; }
  bool KeepsLines() const override { return true; }
  std::string All() const {
    std::string out;
    for (const auto& l : lines) out += l;
    return out;
  }
  bool Has(const std::string& line) const {
    for (const auto& l : lines)
      if (l == line) return true;
    return false;
  }
  std::vector<std::string> opened;
  std::vector<std::string> lines;
  int closed = 0;
};

// Records the run's events as text, and the rows' last counts.
class RecordingReport : public ICleanReport {
 public:
  void RunStarted() override { events.push_back("run"); }
  void StopRequested() override { events.push_back("stop"); }
  void RowStarted(int row) override { events.push_back("row " + std::to_string(row)); }
  void ItemActed(int row, const CleanAction& action, ActionResult result, int, double) override {
    acted.push_back(std::to_string(row) + " " + ActionVerb(action.kind) + " " + ActionTarget(action) +
                    (result == ActionResult::kDone ? "" : " (failed)"));
  }
  void CountsChanged(int row, int files, double size) override { counts[row] = {files, size}; }
  void RowDone(int row, const RowOutcome& outcome) override {
    outcomes[row] = outcome;
    events.push_back("done " + std::to_string(row) + (outcome.cleaned ? " cleaned" : ""));
  }
  void RunEnded() override { events.push_back("end"); }
  std::unique_ptr<CCleanLog> CreateLog() override { return std::make_unique<CCleanLog>(); }

  std::vector<std::string> events;
  std::vector<std::string> acted;
  std::map<int, std::pair<int, double>> counts;
  std::map<int, RowOutcome> outcomes;
};

// Counts files through PauseAfterFile; `onFile` may act at the n-th file
// (for example click Abort), `onPump` at the n-th pump of its own.
class ScriptedControl : public IRunControl {
 public:
  bool IsRunning() override { return running && (run == nullptr || run->running()); }
  void PumpMessages() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  void PauseAfterFile() override {
    ++files;
    if (onFile) onFile(files);
  }
  bool running = true;
  const CCleaningRun* run = nullptr;
  int pumps = 0;
  int files = 0;
  std::function<void(int)> onFile;
  std::function<void(int)> onPump;
};

class MapSettings : public ISettingsStore {
 public:
  std::string Read(const std::string& name) override {
    auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
  }
  bool Write(const std::string& name, const std::string& text) override {
    values[name] = text;
    return true;
  }
  std::map<std::string, std::string> values;
};

class ScriptedPrompt : public IPrompt {
 public:
  PromptAnswer Ask(const PromptRequest& request) override {
    asked.push_back(request);
    if (answers.empty()) return request.kind == PromptKind::kYesNo ? PromptAnswer::kNo : PromptAnswer::kOk;
    PromptAnswer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  std::vector<PromptRequest> asked;
  std::vector<PromptAnswer> answers;
};

class FixedClock : public IClock {
 public:
  explicit FixedClock(LocalTime t) : t_(t) {}
  LocalTime Now() override { return t_; }

 private:
  LocalTime t_;
};

}  // namespace sh::test
