#include "app/system_info.h"

#include <cstdio>

#include "toolkit/text.h"

namespace sh {

namespace {

uint32_t ServicePackNumber(const std::string& text) {
  for (char digit = '1'; digit <= '9'; ++digit)
    if (text.find(digit) != std::string::npos) return static_cast<uint32_t>(digit - '0');
  return 0;
}

std::string EditionSuffix(const OsVersionRecord& v) {
  std::string suffix;
  if (v.productType == kProductWorkstation) {
    if (v.major == 5 && v.minor == 1)
      suffix = (v.suiteMask & kSuitePersonal) ? " Home Edition" : " Professional Edition";
    else if (v.major == 5 && v.minor == 0)
      suffix = " Professional";
    else if (v.major == 4)
      suffix = " Workstation";
  } else if (v.productType == kProductServer || v.productType == kProductDomainController) {
    if (v.major == 5) {
      if (v.suiteMask & kSuiteEnterprise) suffix += " Advanced";
      if (v.suiteMask & kSuiteDataCenter) suffix += " DataCenter";
      if (v.suiteMask & kSuiteTerminal) suffix += " Terminal";
      if (v.suiteMask & kSuiteBackOffice) suffix += " BackOffice";
      suffix += " Server";
    } else if (v.major == 4 && v.minor == 0) {
      suffix = " Server";
    }
    if (v.productType == kProductDomainController) suffix += " Domain Controller";
  }
  return suffix;
}

// The NT versions from 6.0 on, by major, minor and the first build of the
// release; the last row that fits names the system.
struct LaterWindows {
  uint32_t major, minor, fromBuild;
  const char* workstation;
  const char* server;
};
constexpr LaterWindows kLaterWindows[] = {
    {6, 0, 0, "Windows Vista", "Windows Server 2008"},
    {6, 1, 0, "Windows 7", "Windows Server 2008 R2"},
    {6, 2, 0, "Windows 8", "Windows Server 2012"},
    {6, 3, 0, "Windows 8.1", "Windows Server 2012 R2"},
    {10, 0, 0, "Windows 10", "Windows Server 2016"},
    {10, 0, 17763, "Windows 10", "Windows Server 2019"},
    {10, 0, 20348, "Windows 10", "Windows Server 2022"},
    {10, 0, 22000, "Windows 11", "Windows Server 2022"},
    {10, 0, 26100, "Windows 11", "Windows Server 2025"},
};

bool IsServerProduct(const OsVersionRecord& v) {
  return v.extendedAvailable && (v.productType == kProductServer || v.productType == kProductDomainController);
}

// "Windows 7", "Windows Server 2012 R2 Domain Controller"; a version newer
// than the table gives its numbers.
std::string LaterWindowsName(const OsVersionRecord& v) {
  const LaterWindows* found = nullptr;
  for (const LaterWindows& row : kLaterWindows)
    if (row.major == v.major && row.minor == v.minor && v.build >= row.fromBuild) found = &row;
  const bool server = IsServerProduct(v);
  std::string name = found == nullptr ? Format("Windows NT %u.%u", static_cast<unsigned>(v.major),
                                               static_cast<unsigned>(v.minor))
                     : server         ? found->server
                                      : found->workstation;
  if (found == nullptr && server) name += " Server";
  if (server && v.productType == kProductDomainController) name += " Domain Controller";
  return name;
}

}  // namespace

OsDescription DescribeOperatingSystem(const OsVersionRecord& v) {
  OsDescription out;
  if (!v.ntFamily) {
    switch (v.minor) {
      case 0: out.name = "Windows 95"; break;
      case 10: out.name = "Windows 98"; break;
      case 90: out.name = "Windows ME"; break;
      default: break;
    }
    out.name += v.servicePackText;
    return out;
  }
  out.servicePack = ServicePackNumber(v.servicePackText);
  if (v.major >= 6) {
    out.name = LaterWindowsName(v);
  } else {
    if (v.major == 4) out.name = "Windows NT 4.0";
    else if (v.major == 5 && v.minor == 0) out.name = "Windows 2000";
    else if (v.major == 5 && v.minor == 1) out.name = "Windows XP";
    // The extended record exists from NT 4.0 Service Pack 6 on.
    if ((v.major == 5 || out.servicePack >= 6) && v.extendedAvailable) out.name += EditionSuffix(v);
  }
  if (out.servicePack != 0) out.name += " " + v.servicePackText;
  return out;
}

void CSystemInfo::DetectOperatingSystem(const OsVersionRecord& version) {
  ntFamily_ = version.ntFamily;
  major_ = version.major;
  minor_ = version.minor;
  build_ = version.build;
  OsDescription description = DescribeOperatingSystem(version);
  osName_ = description.name;
  servicePack_ = description.servicePack;
}

void CSystemInfo::GatherSystemInfo(ISystemSource& source) {
  DetectOperatingSystem(source.ReadVersion());

  uint64_t total = 0, available = 0;
  bool extended = ntFamily_ && major_ >= 5 && source.ReadMemoryEx(&total, &available);
  if (!extended) {
    total = available = 0;
    source.ReadMemoryBasic(&total, &available);
  }
  totalPhysical_ = total;
  availablePhysical_ = available;

  browser_ = ParseBrowserVersion(source.ReadBrowserVersionText());
  userName_ = source.ReadUserName();
}

BrowserVersion ParseBrowserVersion(const std::string& text) {
  BrowserVersion version;
  std::sscanf(text.c_str(), "%d.%d.%d.%d", &version.major, &version.minor, &version.build, &version.subBuild);
  return version;
}

bool IsWindowsXP(const CSystemInfo& info) {
  return info.IsNtFamily() && info.MajorVersion() == 5 && info.MinorVersion() == 1;
}

DiskTotals SumFixedDrives(const std::vector<DriveFigures>& drives) {
  DiskTotals totals;
  for (const DriveFigures& drive : drives) {
    if (!drive.fixed || !drive.spaceRead) continue;
    totals.totalGb += static_cast<int64_t>(drive.totalBytes >> 30);
    totals.freeGb += static_cast<int64_t>(drive.freeBytes >> 30);
  }
  return totals;
}

std::string ProfileStatusLine(const CSystemInfo& info) { return "Profile : " + info.UserName(); }

std::string PlatformStatusLine(const CSystemInfo& info) { return "Platform : " + info.OsName(); }

std::string MemoryStatusLine(const CSystemInfo& info) {
  return Format("Available Memory : %d MB of %d MB", static_cast<int>(info.AvailablePhysicalMemory() >> 20),
                static_cast<int>(info.TotalPhysicalMemory() >> 20));
}

std::string DiskStatusLine(const DiskTotals& totals) {
  // std::to_string prints a 64-bit number the same way on every C runtime.
  return "Free Disk Space : " + std::to_string(static_cast<long long>(totals.freeGb)) + " GB of " +
         std::to_string(static_cast<long long>(totals.totalGb)) + " GB";
}

}  // namespace sh
