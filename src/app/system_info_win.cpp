#include "app/system_info_win.h"

#include <windows.h>

#include "toolkit/platform_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

namespace {

// GetVersionEx reports 6.2 on Windows 8.1 and later to a program whose
// manifest does not name them (swhclean has no manifest); ntdll's
// RtlGetVersion gives the real record. Looked up at run time: Windows 9x
// has none.
bool ReadRealVersion(OsVersionRecord& record) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return false;
  auto function =
      reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (function == nullptr) return false;
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (function(&info) != 0) return false;
  record.major = info.dwMajorVersion;
  record.minor = info.dwMinorVersion;
  record.build = info.dwBuildNumber;
  constexpr size_t kCsdChars = sizeof info.szCSDVersion / sizeof info.szCSDVersion[0];
  info.szCSDVersion[kCsdChars - 1] = L'\0';
  char servicePack[2 * kCsdChars] = {};  // a double-byte code page needs two per character
  if (WideCharToMultiByte(CP_ACP, 0, info.szCSDVersion, -1, servicePack, sizeof servicePack, nullptr, nullptr) == 0)
    servicePack[0] = '\0';
  record.servicePackText = servicePack;
  record.extendedAvailable = true;
  record.productType = info.wProductType;
  record.suiteMask = info.wSuiteMask;
  return true;
}

}  // namespace

OsVersionRecord CWinSystemSource::ReadVersion() {
  OsVersionRecord record;
  record.ntFamily = PlatformIsNtFamily();
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return record;
  record.major = info.dwMajorVersion;
  record.minor = info.dwMinorVersion;
  record.build = info.dwBuildNumber;
  info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
  record.servicePackText = info.szCSDVersion;

  OSVERSIONINFOEXA extended = {};
  extended.dwOSVersionInfoSize = sizeof extended;
  if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
    record.extendedAvailable = true;
    record.productType = extended.wProductType;
    record.suiteMask = extended.wSuiteMask;
  }
  if (record.ntFamily) ReadRealVersion(record);
  return record;
}

bool CWinSystemSource::ReadMemoryEx(uint64_t* total, uint64_t* available) {
  using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return false;
  auto function = reinterpret_cast<GlobalMemoryStatusExFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx")));
  if (function == nullptr) return false;
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!function(&status)) return false;
  *total = status.ullTotalPhys;
  *available = status.ullAvailPhys;
  return true;
}

void CWinSystemSource::ReadMemoryBasic(uint64_t* total, uint64_t* available) {
  MEMORYSTATUS status = {};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  *total = status.dwTotalPhys;
  *available = status.dwAvailPhys;
}

std::string CWinSystemSource::ReadUserName() {
  char name[100] = {};
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size)) return std::string();
  name[sizeof name - 1] = '\0';
  return std::string(name);
}

std::string CWinSystemSource::ReadBrowserVersionText() {
  ScopedHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS)
    return std::string();
  char text[101] = {};  // at most 100 bytes, and a terminator whatever they hold
  DWORD size = sizeof text - 1, type = 0;
  const LONG read = RegQueryValueExA(key.get(), "Version", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : std::string();
}

void GatherSystemInfo(CSystemInfo& info) {
  CWinSystemSource source;
  info.GatherSystemInfo(source);
}

std::vector<DriveFigures> ReadDriveFigures() {
  std::vector<DriveFigures> drives;
  char roots[512] = {};
  DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
  if (length == 0 || length >= sizeof roots) return drives;
  for (const char* root = roots; *root != '\0'; root += lstrlenA(root) + 1) {
    DriveFigures drive;
    drive.root = root;
    drive.fixed = GetDriveTypeA(root) == DRIVE_FIXED;
    if (drive.fixed) {
      ULARGE_INTEGER callerFree, total, totalFree;
      if (GetDiskFreeSpaceExA(root, &callerFree, &total, &totalFree)) {
        drive.spaceRead = true;
        drive.totalBytes = total.QuadPart;
        drive.freeBytes = totalFree.QuadPart;
      }
    }
    drives.push_back(drive);
  }
  return drives;
}

std::string FreeDiskSpaceText() { return DiskStatusLine(SumFixedDrives(ReadDriveFigures())); }

}  // namespace sh
