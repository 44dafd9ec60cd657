// Storage of the data files (spot list, plugin list, custom plugins): XML
// text with every byte XORed with one key byte, no header. Every store
// re-prints the whole document through a text-mode stream into the
// temporary file "~swhtmp.tmp", under the data-file lock, and then replaces
// the target in one step, so that a failure never leaves a file cut short.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "settings/settings.h"
#include "toolkit/recursive_lock.h"
#include "toolkit/seams.h"

class TiXmlDocument;

namespace sh {

// The one key byte of every data file, for reading and for writing. Files
// from the update server must be scrambled with it too.
constexpr unsigned char DataFileKey = 0xA7;

// XOR with DataFileKey in place; its own inverse.
void ScrambleBytes(char* buffer, size_t n);
void ScrambleBytes(std::string& bytes);

// The files a data-file store touches. The program uses the real file
// system; tests use memory and inject failures.
class IFileStore {
 public:
  virtual ~IFileStore() = default;
  // False when the file cannot be opened.
  virtual bool ReadAll(const std::string& path, std::string& bytes) = 0;
  // Creates or truncates; false when the file cannot be created or not every
  // byte was written.
  virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
  // Prints the document through a stream opened in text mode ("w"): on
  // Windows every line ends in CR LF. False when the stream cannot be opened
  // or the print did not complete.
  virtual bool PrintDocument(const TiXmlDocument& document, const std::string& path) = 0;
  // Replaces `target` by `source` in one step (the old target stays whole
  // when this fails).
  virtual bool Replace(const std::string& source, const std::string& target) = 0;
  // Removes a file whatever its attributes (read-only too); never a folder.
  virtual bool Remove(const std::string& path) = 0;
  // True when the name is taken: a file, a folder, a file still held open
  // after it was deleted.
  virtual bool Exists(const std::string& path) = 0;
  // The user's temporary folder as the system reports it.
  virtual std::string TempFolder() = 0;
};

// What the loaders ask of the machine: macro expansion and presence tests.
class IPluginEnvironment {
 public:
  virtual ~IPluginEnvironment() = default;
  // False when a token stood for nothing (see path_macros.h): the loaders
  // skip such an entry rather than clean what its path now names.
  virtual bool ExpandPathMacros(std::string& text) = 0;
  virtual bool ExpandYahooUser(std::string& text) = 0;
  virtual bool RegistryKeyExists(const std::string& keyText) = 0;
  virtual bool PathExists(const std::string& path) = 0;
};

// The part of the data-file lock that other processes take too: every copy
// of the program and the console front end store into the same data files
// through the same temporary file.
class ISharedDataFileLock {
 public:
  virtual ~ISharedDataFileLock() = default;
  // Waits no longer than the lock's own bound; false when another process
  // kept it that long. Re-entrant on one thread.
  virtual bool Acquire() = 0;
  virtual void Release() = 0;
};

// The application's data-file lock: held for the whole of one store, so two
// stores never share the temporary file. Within the process it works like a
// critical section, re-entrant because a modal prompt keeps dispatching
// messages on the same thread. Built with a shared lock, a store also holds
// that one, so that no other process stores at the same time.
class CDataFileLock {
 public:
  CDataFileLock() = default;
  explicit CDataFileLock(ISharedDataFileLock& shared) : shared_(&shared) {}
  CDataFileLock(const CDataFileLock&) = delete;
  CDataFileLock& operator=(const CDataFileLock&) = delete;
  // This process only.
  void Enter() { local_.lock(); }
  void Leave() { local_.unlock(); }
  bool TryEnter() { return local_.try_lock(); }
  // For std::lock_guard.
  void lock() { Enter(); }
  void unlock() { Leave(); }
  // The whole lock for a store (or a read): this process's part, then the
  // shared part. False, holding nothing, when the shared part could not be
  // had in time.
  bool EnterStore() {
    Enter();
    if (shared_ == nullptr || shared_->Acquire()) return true;
    Leave();
    return false;
  }
  void LeaveStore() {
    if (shared_) shared_->Release();
    Leave();
  }

 private:
  CRecursiveLock local_;  // this process's part
  ISharedDataFileLock* shared_ = nullptr;
};

// Holds the whole lock for a scope (when it could be had).
class CDataFileStoreHold {
 public:
  explicit CDataFileStoreHold(CDataFileLock& lock) : lock_(lock), held_(lock.EnterStore()) {}
  CDataFileStoreHold(const CDataFileStoreHold&) = delete;
  CDataFileStoreHold& operator=(const CDataFileStoreHold&) = delete;
  ~CDataFileStoreHold() {
    if (held_) lock_.LeaveStore();
  }
  bool held() const { return held_; }

 private:
  CDataFileLock& lock_;
  bool held_;
};

// Everything the readers and writers of the data files use. The application
// object builds one from the real implementations and its lock.
struct DataFileEnv {
  IFileStore& files;
  IPluginEnvironment& machine;
  ISettingsStore& settings;  // the data folder (`path`)
  IPrompt& prompt;
  CDataFileLock& lock;
};

extern const char kSaveErrorText[];     // "Error occuered while Saving"
extern const char kTempDataFileName[];  // "~swhtmp.tmp"

// Empty text when the file cannot be opened or is empty; else the
// unscrambled bytes up to the first zero byte.
std::string ReadDataFile(IFileStore& files, const std::string& path);
// Scrambles the text and stores it; 0 when the file cannot be written. The
// bytes go to a file beside the target first ("<target>.new"), which then
// replaces it. Whatever an interrupted store left under that name is removed
// first; a name that cannot be freed (a folder, a file held open) gives way
// to the next one (".new1" and on).
int WriteDataFile(IFileStore& files, const std::string& path, const std::string& text);

// Parses a data file's text: false on an empty text, a parse error, no
// element at all, or nesting deeper than any data file has (the parser
// recurses per level; the depth is found beforehand by the parser's own
// steps, see parser_depth.h, so nothing it reads whole is refused for how
// its markup looks).
bool ParseDataText(const std::string& text, TiXmlDocument& document);
// ReadDataFile, then ParseDataText.
bool ReadDataDocument(IFileStore& files, const std::string& path, TiXmlDocument& document);
// The same with the file read under the lock (parsed after it is given
// back): a store replaces the file in one step, but a file held open for
// reading cannot be replaced, nor opened while it is being replaced, so the
// readers of every process keep out of each other's stores. False, as for an
// unreadable file, when another process kept the lock too long.
bool ReadDataDocument(DataFileEnv& env, const std::string& path, TiXmlDocument& document);

// Stores a document through the temporary file under the lock. The
// temporary file cannot be written, or another process kept the lock too
// long: "Error occuered while Saving" and nothing stored. Returns 1 when the
// target was stored, else 0.
int SaveDataDocument(DataFileEnv& env, const TiXmlDocument& document, const std::string& path);

// Reads a data file, lets `change` alter the document and stores it, all
// under the lock, so that no other process stores the file between the read
// and the store (its change would be lost). `change` is told whether the
// file was read and parsed (if not, the document is empty and `change` may
// build one); it returns false to store nothing. Returns 1 when stored, else
// 0; the lock or the temporary file failing is told as SaveDataDocument
// tells it, after the lock is given back.
int ChangeDataDocument(DataFileEnv& env, const std::string& path,
                       const std::function<bool(TiXmlDocument& document, bool parsed)>& change);

// The document in the library's own print layout (one element per line,
// four spaces per level, empty elements in the short form, "\n" line ends),
// byte for byte what TiXmlDocument::Print(FILE*) writes, built in memory:
// printing a large list through the stream call by call costs several times
// more than parsing it.
std::string PrintDocumentText(const TiXmlDocument& document);
// fopen(path, "w"), the printed text in one write, close: through the text
// stream every line ends in CR LF on Windows. False when the stream cannot
// be opened or the write failed.
bool PrintDocumentToTextFile(const TiXmlDocument& document, const std::string& path);

}  // namespace sh
