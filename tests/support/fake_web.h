// The update folder in memory: answers by address, and every address asked.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "update/list_update.h"

namespace sh::test {

class FakeWeb : public IWebClient {
 public:
  bool Get(const std::string& url, std::string& body, std::string& why) override {
    asked.push_back(url);
    auto it = pages.find(url);
    if (it == pages.end()) {
      why = "the server answered with status 404";
      return false;
    }
    body = it->second;
    return true;
  }
  std::map<std::string, std::string> pages;
  std::vector<std::string> asked;
};

}  // namespace sh::test
