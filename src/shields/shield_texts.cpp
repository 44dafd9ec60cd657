#include "shields/shield_texts.h"

namespace sh {
namespace {

// Replaces the first "%s" of `pattern` with `first` and the next with
// `second`; the values are never read as patterns.
std::string Fill(const char* pattern, const std::string& first, const std::string& second) {
  std::string out;
  int used = 0;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += used++ == 0 ? first : second;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

constexpr char kSettingsTitle[] = "IE Settings Changed";
constexpr char kSettingsText[] = "An Attempt was made to change your IE Settings from (%s) to (%s), Allow this change?";

}  // namespace

bool ShieldQuestionText(int kind, const std::string& oldValue, const std::string& newValue, std::string* title,
                        std::string* text) {
  switch (static_cast<ShieldEventKind>(kind)) {
    case ShieldEventKind::kFavoriteAdded:
      *title = "URL Added in IE Favorites";
      *text = Fill("(%s) has been added to your favorites list. Allow this addition?", newValue, std::string());
      return true;
    case ShieldEventKind::kStartPage:
      *title = "IE Home Page Changed";
      *text = Fill("An Attempt was made to change your home page from (%s) to (%s), Allow this change?", oldValue,
                   newValue);
      return true;
    case ShieldEventKind::kSearchPage:
    case ShieldEventKind::kLocalPage:
    case ShieldEventKind::kSearchBar:
      *title = kSettingsTitle;
      *text = Fill(kSettingsText, oldValue, newValue);
      return true;
    case ShieldEventKind::kHostsEntryAdded:
      *title = "Hosts File Changed";
      *text = Fill("An Attempt was made to add (%s) in Hosts File, Allow this addition?", newValue, std::string());
      return true;
  }
  return false;
}

}  // namespace sh
