// Seams for what tests must answer and record: message boxes and questions,
// and the clock.
#pragma once

#include <string>

namespace sh {

enum class PromptKind { kOk, kYesNo };
enum class PromptIcon { kNone, kInformation, kQuestion, kWarning, kError };
enum class PromptAnswer { kOk, kYes, kNo, kCancel };

struct PromptRequest {
  std::string text;
  std::string caption;  // empty: the application's name
  PromptKind kind = PromptKind::kOk;
  PromptIcon icon = PromptIcon::kNone;
  bool topmost = false;  // also brought to the foreground
};

// Every message box of the program goes through one of these.
class IPrompt {
 public:
  virtual ~IPrompt() = default;
  virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual LocalTime Now() = 0;
};

}  // namespace sh
