// swhpack: turns an XML list into a data file and back.
//   swhpack pack in.xml out.swh      checks that the XML parses, scrambles it
//   swhpack unpack in.swh out.xml    unscrambles (up to the first zero byte)
// "-" as the output writes to stdout.
#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "model/data_file.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadWhole(const char* path, std::string& bytes) {
  File f(std::fopen(path, "rb"));
  if (!f) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
  return !std::ferror(f.get());
}

bool WriteWhole(const char* path, const std::string& bytes) {
  if (std::strcmp(path, "-") == 0)
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
  File f(std::fopen(path, "wb"));
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
  return std::fclose(f.release()) == 0 && ok;
}

int Usage() {
  std::fprintf(stderr, "usage: swhpack pack in.xml out.swh | swhpack unpack in.swh out.xml  (out may be -)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const bool pack = std::strcmp(argv[1], "pack") == 0;
  if (!pack && std::strcmp(argv[1], "unpack") != 0) return Usage();
  std::string bytes;
  if (!ReadWhole(argv[2], bytes)) {
    std::fprintf(stderr, "swhpack: cannot read %s\n", argv[2]);
    return 1;
  }
  if (pack) {
    // A list the program would refuse must not be shipped.
    if (bytes.find('\0') != std::string::npos) {
      std::fprintf(stderr, "swhpack: %s holds a zero byte\n", argv[2]);
      return 1;
    }
    TiXmlDocument document;
    if (!sh::ParseDataText(bytes, document)) {
      std::fprintf(stderr, "swhpack: %s does not parse (row %d, column %d: %s)\n", argv[2], document.ErrorRow(),
                   document.ErrorCol(), document.Error() ? document.ErrorDesc() : "no element or nested too deeply");
      return 1;
    }
    sh::ScrambleBytes(bytes);
  } else {
    sh::ScrambleBytes(bytes);
    size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
  }
  if (!WriteWhole(argv[3], bytes)) {
    std::fprintf(stderr, "swhpack: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
