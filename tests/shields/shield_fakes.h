// The shields' seams, answered and recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shields/shield_ports.h"

namespace sh::test {

class FakeBrowser : public IBrowserSettings {
 public:
  std::string Read(BrowserRoot root, const std::string& name) override { return values[{root, name}]; }
  void Write(BrowserRoot root, const std::string& name, const std::string& value) override {
    values[{root, name}] = value;
  }
  std::map<std::pair<BrowserRoot, std::string>, std::string> values;
};

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

class FakeFavorites : public IFavoritesFolder {
 public:
  std::vector<FavoriteItem> Read() override { return items; }
  void DeleteLater(const std::string& path) override { deleted.push_back(path); }
  void Add(const std::string& name, const std::string& url) { items.push_back({"C:\\Fav\\" + name, true, url}); }
  std::vector<FavoriteItem> items;
  std::vector<std::string> deleted;
};

class FakeHosts : public IHostsFile {
 public:
  bool Read(std::string& out) override {
    out = text;
    return true;
  }
  bool Write(const std::string& in) override {
    text = in;
    return true;
  }
  std::string text;
};

}  // namespace sh::test
