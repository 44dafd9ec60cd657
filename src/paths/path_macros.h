// Path macros of the data files: tokens such as :WINDIR: or :IE_Cache: that
// stand for per-machine and per-user folders. The rules are portable; where
// the values come from is the caller's (the registry on Windows, a map in
// tests).
#pragma once

#include <string>

namespace sh {

// The values the tokens stand for. Every call asks afresh: stored known
// locations can be corrected in the registry while the program runs.
class IMacroValues {
 public:
  virtual ~IMacroValues() = default;
  // A known location stored under the product key ("IE_Cache", "APP_DATA"...).
  virtual std::string StoredValue(const std::string& name) = 0;
  virtual std::string AimScreenName() = 0;
  virtual std::string ProgramFilesDir() = 0;
  virtual std::string WindowsFolder() = 0;  // no trailing backslash
  virtual std::string SystemFolder() = 0;   // no trailing backslash
  virtual std::string YahooUserId() = 0;
};

// Applies the macro rows in their fixed order, each replacing every exact,
// case-sensitive occurrence; a value that contains a later token is expanded
// again by that later row. Last, doubled backslashes collapse in one
// left-to-right pass, except a leading pair: a network path
// (\\server\share) stays one. A value is looked up only when its token occurs.
//
// False when a token stood for nothing (an empty value, or nothing but
// backslashes and blanks): the text is expanded all the same, but it names
// something wider than meant (the parent folder or key, the drive's root,
// the current folder) and must not be cleaned.
bool ExpandPathMacros(std::string& text, IMacroValues& values);

// Replaces every :YAHOO_USER: (registry paths of the spot list only); false
// as above when the user id is empty.
bool ExpandYahooUser(std::string& text, IMacroValues& values);

}  // namespace sh
