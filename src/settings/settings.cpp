#include "settings/settings.h"

#include <cstdlib>

#include "toolkit/text.h"

namespace sh {

const char kDefaultKeepUrl[] = "about:blank";

int FlagFromText(const std::string& text) { return text == "1" ? 1 : 0; }

int NumberFromText(const std::string& text) { return std::atoi(text.c_str()); }

std::string TextFromInt(int value) { return Format("%d", value); }

std::string CSettings::KeepURL() {
  std::string url = store_.Read("KeepURL");
  return url.empty() ? std::string(kDefaultKeepUrl) : url;
}

int ShredCyclesForMethod(int method) { return (method == 3 || method == 4) ? 35 : 1; }

}  // namespace sh
