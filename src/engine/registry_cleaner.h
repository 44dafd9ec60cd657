// The parts of registry cleaning that need no registry: the texts of the
// boxes shown for entries without a root and the count of cleaned entries.
#pragma once

#include <string>

#include "toolkit/seams.h"

namespace sh {

// The OK box shown when a key entry names no known root: the subkey as text.
PromptRequest InvalidKeyPrompt(const std::string& subKey);
// The same for a value entry: "key : value".
PromptRequest InvalidValuePrompt(const std::string& key, const std::string& value);
// "%d Keys": how many key and value entries of a spot were cleaned.
std::string CleanedKeysText(int cleaned);

}  // namespace sh
