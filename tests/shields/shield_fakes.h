// The shields' question to the user, answered and recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shields/shield_ports.h"

namespace sh::test {

// Answers from `answers` in turn, then No.
class FakeQuestion : public IShieldQuestion {
 public:
  bool Allow(const std::string& title, const std::string& text) override {
    titles.push_back(title);
    texts.push_back(text);
    if (whileOpen) whileOpen();
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.erase(answers.begin());
    return yes;
  }
  std::vector<bool> answers;
  std::vector<std::string> titles, texts;
  std::function<void()> whileOpen;  // what happens while the popup is up
};

}  // namespace sh::test
