// Names and paths of the special stores that need no Win32 to work out: the
// stored-form-entries keys, the textual form of a SID, the recycle bin's
// search pattern and index files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sh {

extern const char kProtectedStorageKey[];  // "Software\...\Protected Storage System Provider"
extern const char kFormStoreSubKey[];      // "Data\e161255a-37c3-11d2-bcaa-00c04fd929db"
extern const char kDisplayStringName[];    // "Display String"
extern const char kDisplayStringValue[];   // "Internet Explorer"

// "S-1-<authority>-<sub>-<sub>...". The authority is written in decimal;
// one that does not fit 32 bits (never met in practice) in the 0x form.
std::string SidText(const uint8_t (&authority)[6], const std::vector<uint32_t>& subAuthorities);

// Protected Storage key of one identity (SID text or logon name).
std::string FormStoreBase(const std::string& identity);
// base\Data
std::string FormStoreDataKey(const std::string& identity);
// base\Data\e161255a-...: the key that holds the stored form entries.
std::string FormStoreKey(const std::string& identity);

// "<root>Recycled" for a drive root such as "C:\".
std::string RecycledFolder(const std::string& driveRoot);
// The two index files looked for, in order: "...\INFO", then "...\INFO2".
std::string RecycledIndexInfo(const std::string& folder);
std::string RecycledIndexInfo2(const std::string& folder);

}  // namespace sh
