// The popup's title and question for each kind of change a shield puts to
// the user.
#pragma once

#include <string>

namespace sh {

enum class ShieldEventKind {
  kFavoriteAdded = 0,
  kStartPage = 1,
  kSearchPage = 2,
  kLocalPage = 3,
  kSearchBar = 4,
  kHostsEntryAdded = 5,
};

// Title and text of `kind`: the old value and the new one in the places the
// text names them (an addition shows only the new entry). The values are
// copied as they are, '%' included. False for an unknown kind.
bool ShieldQuestionText(int kind, const std::string& oldValue, const std::string& newValue, std::string* title,
                        std::string* text);

}  // namespace sh
