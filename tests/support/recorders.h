// Test doubles that record what the engine reports and answer what it asks.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/clean_run.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh::test {

// Every action as "row verb target", and each row's outcome.
class RecordingReport : public ICleanReport {
 public:
  void ItemActed(int row, const CleanAction& action, ActionResult result, int, double) override {
    acted.push_back(std::to_string(row) + " " + ActionVerb(action.kind) + " " + ActionTarget(action) +
                    (result == ActionResult::kDone ? "" : " (failed)"));
  }
  void RowDone(int row, const RowOutcome& outcome) override { outcomes[row] = outcome; }
  std::vector<std::string> acted;
  std::map<int, RowOutcome> outcomes;
};

// A run that goes on until `running` is cleared.
class ScriptedControl : public IRunControl {
 public:
  bool IsRunning() override { return running; }
  void PumpMessages() override {}
  void PauseAfterFile() override {}
  bool running = true;
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

// Answers from `answers` in turn, then No to a question and OK otherwise.
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
