// The storage of the data files: scrambling, the store beside the target,
// and reads and stores under the data-file lock.
#include "model/data_file.h"

#include <tinyxml.h>

#include "toolkit/text.h"

namespace sh {

const char kSaveErrorText[] = "Error occuered while Saving";
const char kTempDataFileName[] = "~swhtmp.tmp";

void ScrambleBytes(char* buffer, size_t n) {
  for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(static_cast<unsigned char>(buffer[i]) ^ DataFileKey);
}

void ScrambleBytes(std::string& bytes) {
  if (!bytes.empty()) ScrambleBytes(&bytes[0], bytes.size());
}

std::string ReadDataFile(IFileStore& files, const std::string& path) {
  std::string bytes;
  if (!files.ReadAll(path, bytes) || bytes.empty()) return std::string();
  ScrambleBytes(bytes);
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

namespace {

// Names beside the target tried in turn; more than one stuck name means the
// folder has problems no other name would solve.
constexpr int kBesideNames = 4;

// A free name beside the target; empty when none could be freed. A store cut
// short (power loss, a crash) leaves its file behind, and it may since have
// been made read-only or be held open by a scanner.
std::string FreeBesideName(IFileStore& files, const std::string& path) {
  for (int n = 0; n < kBesideNames; ++n) {
    std::string name = path + ".new" + (n == 0 ? std::string() : std::to_string(n));
    if (files.Exists(name)) files.Remove(name);
    if (!files.Exists(name)) return name;
  }
  return std::string();
}

}  // namespace

int WriteDataFile(IFileStore& files, const std::string& path, const std::string& text) {
  std::string bytes = text;
  ScrambleBytes(bytes);
  // Never truncate the target in place: a failure half-way would leave a
  // list cut short, and the program does not run without its spot list.
  const std::string beside = FreeBesideName(files, path);
  if (beside.empty()) return 0;
  if (!files.WriteAll(beside, bytes) || !files.Replace(beside, path)) {
    files.Remove(beside);
    return 0;
  }
  return 1;
}

bool ReadDataDocument(IFileStore& files, const std::string& path, TiXmlDocument& document) {
  return ParseDataText(ReadDataFile(files, path), document);
}

bool ReadDataDocument(DataFileEnv& env, const std::string& path, TiXmlDocument& document) {
  std::string text;
  {
    CDataFileStoreHold hold(env.lock);
    if (!hold.held()) return false;
    text = ReadDataFile(env.files, path);
  }
  return ParseDataText(text, document);
}

namespace {

void TellSaveFailed(IPrompt& prompt) {
  PromptRequest request;
  request.text = kSaveErrorText;
  request.kind = PromptKind::kOk;
  prompt.Ask(request);
}

// One store through the temporary file; the caller holds the lock.
int StoreThroughTemporaryFile(DataFileEnv& env, const TiXmlDocument& document, const std::string& path,
                              bool& tempFailed) {
  const std::string temp = StripTrailing(env.files.TempFolder(), '\\') + "\\" + kTempDataFileName;
  // Left by a store cut short, perhaps read-only since: it would fail the print.
  if (env.files.Exists(temp)) env.files.Remove(temp);
  std::string text;
  int stored = 0;
  if (!env.files.PrintDocument(document, temp) || !env.files.ReadAll(temp, text)) {
    tempFailed = true;
  } else {
    stored = WriteDataFile(env.files, path, text);
  }
  env.files.Remove(temp);
  return stored;
}

}  // namespace

int SaveDataDocument(DataFileEnv& env, const TiXmlDocument& document, const std::string& path) {
  int stored = 0;
  bool failed = false;
  {
    CDataFileStoreHold hold(env.lock);
    if (!hold.held()) failed = true;
    else stored = StoreThroughTemporaryFile(env, document, path, failed);
  }
  // Told after the lock is given back: the box dispatches messages, and
  // other processes must not wait on it.
  if (failed) TellSaveFailed(env.prompt);
  return stored;
}

int ChangeDataDocument(DataFileEnv& env, const std::string& path,
                       const std::function<bool(TiXmlDocument& document, bool parsed)>& change) {
  int stored = 0;
  bool failed = false;
  {
    CDataFileStoreHold hold(env.lock);
    if (!hold.held()) {
      failed = true;
    } else {
      TiXmlDocument read;
      const bool parsed = ReadDataDocument(env.files, path, read);
      TiXmlDocument fresh;
      TiXmlDocument& document = parsed ? read : fresh;
      if (change(document, parsed)) stored = StoreThroughTemporaryFile(env, document, path, failed);
    }
  }
  if (failed) TellSaveFailed(env.prompt);
  return stored;
}

}  // namespace sh
