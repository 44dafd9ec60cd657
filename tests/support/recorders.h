// Test doubles that record what the engine reports and answer what it asks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

class RecordingProgress : public ICleanProgress {
 public:
  void SetCellText(int row, int column, const std::string& text) override {
    cells[{row, column}] = text;
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(column) + "=" + text);
  }
  void EnsureVisible(int row) override { events.push_back("visible " + std::to_string(row)); }
  void SetRowDone(int row) override {
    done.push_back(row);
    events.push_back("done " + std::to_string(row));
  }
  std::string Cell(int row, int column) const {
    auto it = cells.find({row, column});
    return it == cells.end() ? std::string() : it->second;
  }
  std::map<std::pair<int, int>, std::string> cells;
  std::vector<std::string> events;
  std::vector<int> done;
};

// Counts files through PauseAfterFile; `onFile` may act at the n-th file
// (for example click Abort).
class ScriptedControl : public IRunControl {
 public:
  bool IsRunning() override { return running && (run == nullptr || run->running()); }
  void PumpMessages() override { ++pumps; }
  void PauseAfterFile() override {
    ++files;
    if (onFile) onFile(files);
  }
  bool running = true;
  const CCleaningRun* run = nullptr;
  int pumps = 0;
  int files = 0;
  std::function<void(int)> onFile;
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
