// The Windows side of the machine facts: the real ISystemSource and the
// drive figures of the free-disk line.
#pragma once

#include <string>
#include <vector>

#include "app/system_info.h"

namespace sh {

class CWinSystemSource : public ISystemSource {
 public:
  OsVersionRecord ReadVersion() override;
  bool ReadMemoryEx(uint64_t* total, uint64_t* available) override;
  void ReadMemoryBasic(uint64_t* total, uint64_t* available) override;
  std::string ReadUserName() override;
  std::string ReadBrowserVersionText() override;
};

// Gathers the facts of this machine into `info`.
void GatherSystemInfo(CSystemInfo& info);

// Every logical drive root with its type and, for fixed drives, its space.
std::vector<DriveFigures> ReadDriveFigures();
// The fourth status line, measured now.
std::string FreeDiskSpaceText();

}  // namespace sh
