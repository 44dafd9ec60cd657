#include "engine/special_stores.h"

#include "toolkit/text.h"

namespace sh {

const char kProtectedStorageKey[] = "Software\\Microsoft\\Protected Storage System Provider";
const char kFormStoreSubKey[] = "Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";
const char kDisplayStringName[] = "Display String";
const char kDisplayStringValue[] = "Internet Explorer";

std::string SidText(const uint8_t (&authority)[6], const std::vector<uint32_t>& subAuthorities) {
  std::string text = "S-1-";
  if (authority[0] != 0 || authority[1] != 0) {
    text += Format("0x%02x%02x%02x%02x%02x%02x", authority[0], authority[1], authority[2], authority[3],
                   authority[4], authority[5]);
  } else {
    uint32_t value = (static_cast<uint32_t>(authority[2]) << 24) | (static_cast<uint32_t>(authority[3]) << 16) |
                     (static_cast<uint32_t>(authority[4]) << 8) | authority[5];
    text += Format("%lu", static_cast<unsigned long>(value));
  }
  for (uint32_t sub : subAuthorities) text += Format("-%lu", static_cast<unsigned long>(sub));
  return text;
}

std::string FormStoreBase(const std::string& identity) { return std::string(kProtectedStorageKey) + "\\" + identity; }
std::string FormStoreDataKey(const std::string& identity) { return FormStoreBase(identity) + "\\Data"; }
std::string FormStoreKey(const std::string& identity) { return FormStoreBase(identity) + "\\" + kFormStoreSubKey; }

std::string RecycledFolder(const std::string& driveRoot) { return StripTrailing(driveRoot, '\\') + "\\Recycled"; }
std::string RecycledIndexInfo(const std::string& folder) { return StripTrailing(folder, '\\') + "\\INFO"; }
std::string RecycledIndexInfo2(const std::string& folder) { return StripTrailing(folder, '\\') + "\\INFO2"; }



}  // namespace sh
