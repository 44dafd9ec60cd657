// The machine facts gathered once at start-up and the status lines of the
// home screen. The rules are portable; the Windows layer supplies the raw
// figures through ISystemSource (system_info_win.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sh {

// The platform's version as the system reports it.
struct OsVersionRecord {
  bool ntFamily = true;  // the platform version's high bit is clear
  uint32_t major = 0, minor = 0, build = 0;
  std::string servicePackText;  // e.g. "Service Pack 2"; on 9x e.g. " A" or "C"
  bool extendedAvailable = false;  // product type and suite mask could be read
  uint8_t productType = 0;         // 1 workstation, 2 domain controller, 3 server
  uint16_t suiteMask = 0;
};

constexpr uint8_t kProductWorkstation = 1;
constexpr uint8_t kProductDomainController = 2;
constexpr uint8_t kProductServer = 3;
constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteBackOffice = 0x0004;
constexpr uint16_t kSuiteTerminal = 0x0010;
constexpr uint16_t kSuiteDataCenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;

struct OsDescription {
  std::string name;      // "Windows XP Professional Edition Service Pack 2"
  uint32_t servicePack = 0;  // 0, or the first of 1..9 found in the text
};

// The naming rules of the operating system.
OsDescription DescribeOperatingSystem(const OsVersionRecord& version);

// Where the facts come from; the real one asks Windows.
class ISystemSource {
 public:
  virtual ~ISystemSource() = default;
  virtual OsVersionRecord ReadVersion() = 0;
  // The extended memory status, looked up at run time; false when the
  // function is missing or fails.
  virtual bool ReadMemoryEx(uint64_t* total, uint64_t* available) = 0;
  virtual void ReadMemoryBasic(uint64_t* total, uint64_t* available) = 0;
  // The logged-on user's name; empty when it cannot be read.
  virtual std::string ReadUserName() = 0;
  // The browser's "Version" text under the machine's Internet Explorer key;
  // empty when there is none. A source that knows no browser reads none.
  virtual std::string ReadBrowserVersionText() { return std::string(); }
};

// Internet Explorer's version; all 0 when unknown.
struct BrowserVersion {
  int major = 0, minor = 0, build = 0, subBuild = 0;
};
// Up to four dot-separated decimal numbers ("%d.%d.%d.%d"); a number that
// is not there stays 0.
BrowserVersion ParseBrowserVersion(const std::string& text);

class CSystemInfo {
 public:
  CSystemInfo() = default;
  // The NT flag as the platform version gives it at construction.
  explicit CSystemInfo(bool ntFamily) : ntFamily_(ntFamily) {}

  // Fills the record in this order: operating system, memory, browser
  // version, user name.
  void GatherSystemInfo(ISystemSource& source);
  // Name, NT flag, version numbers and service pack.
  void DetectOperatingSystem(const OsVersionRecord& version);

  const std::string& UserName() const { return userName_; }
  const std::string& OsName() const { return osName_; }
  bool IsNtFamily() const { return ntFamily_; }
  uint32_t MajorVersion() const { return major_; }
  uint32_t MinorVersion() const { return minor_; }
  uint32_t BuildNumber() const { return build_; }
  uint32_t ServicePack() const { return servicePack_; }
  uint64_t TotalPhysicalMemory() const { return totalPhysical_; }
  uint64_t AvailablePhysicalMemory() const { return availablePhysical_; }
  const BrowserVersion& Browser() const { return browser_; }

 private:
  std::string userName_;
  std::string osName_;
  bool ntFamily_ = true;
  uint32_t major_ = 0, minor_ = 0, build_ = 0;
  uint32_t servicePack_ = 0;
  uint64_t totalPhysical_ = 0;
  uint64_t availablePhysical_ = 0;
  BrowserVersion browser_;
};

// Windows XP (NT 5.1) and nothing else: spots marked for XP load only then.
// Both front ends decide it here so that they load the same spots.
bool IsWindowsXP(const CSystemInfo& info);

// One logical drive as the free-disk line sees it.
struct DriveFigures {
  std::string root;        // "C:\"
  bool fixed = false;      // DRIVE_FIXED
  bool spaceRead = false;  // its space could be read
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
};

struct DiskTotals {
  int64_t freeGb = 0;
  int64_t totalGb = 0;
};

// Sums the fixed drives whose space was read, each rounded down to whole
// gigabytes (2^30 bytes) before it is added.
DiskTotals SumFixedDrives(const std::vector<DriveFigures>& drives);

// The status lines of the home screen.
std::string ProfileStatusLine(const CSystemInfo& info);   // "Profile : %s"
std::string PlatformStatusLine(const CSystemInfo& info);  // "Platform : %s"
// "Available Memory : %d MB of %d MB", whole megabytes rounded down.
std::string MemoryStatusLine(const CSystemInfo& info);
// "Free Disk Space : %I64d GB of %I64d GB" as the decimal numbers.
std::string DiskStatusLine(const DiskTotals& totals);
constexpr char kReadyStatusLine[] = "Status : Ready to Protect";

}  // namespace sh
