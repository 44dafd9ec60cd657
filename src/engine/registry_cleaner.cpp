#include "engine/registry_cleaner.h"

#include "toolkit/text.h"

namespace sh {

PromptRequest InvalidKeyPrompt(const std::string& subKey) {
  PromptRequest request;
  request.text = subKey;
  request.caption = "Invalid hKey Found in (CleanRegistryKey)";
  request.kind = PromptKind::kOk;
  return request;
}

PromptRequest InvalidValuePrompt(const std::string& key, const std::string& value) {
  PromptRequest request;
  request.text = key + " : " + value;
  request.caption = "Invalid hKey Found in (CleanRegistryValue)";
  request.kind = PromptKind::kOk;
  return request;
}

std::string CleanedKeysText(int cleaned) { return Format("%d Keys", cleaned); }

}  // namespace sh
