#include "paths/reg_path.h"

namespace sh {

RegRoot RootKeyFromPath(const std::string& text) {
  std::string root = text.substr(0, text.find('\\'));
  if (root == "HKEY_CURRENT_USER") return RegRoot::kCurrentUser;
  if (root == "HKEY_LOCAL_MACHINE") return RegRoot::kLocalMachine;
  if (root == "HKEY_CLASSES_ROOT") return RegRoot::kClassesRoot;
  if (root == "HKEY_USERS") return RegRoot::kUsers;
  return RegRoot::kNone;
}

std::string RootKeyToName(RegRoot root) {
  switch (root) {
    case RegRoot::kCurrentUser: return "HKEY_CURRENT_USER";
    case RegRoot::kClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegRoot::kLocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegRoot::kUsers: return "HKEY_USERS";
    case RegRoot::kNone: break;
  }
  return std::string();
}

std::string SubKeyFromPath(const std::string& text) {
  size_t pos = text.find('\\');
  return pos == std::string::npos ? std::string() : text.substr(pos + 1);
}

bool IsUsableSubKey(const std::string& subKey) {
  return subKey.find_first_not_of('\\') != std::string::npos;
}

}  // namespace sh
