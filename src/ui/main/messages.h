// The program's private window messages and the registered message names.
#pragma once

namespace sh {

// Private messages, all to the main window.
constexpr unsigned int WM_TRAY_NOTIFY = 0x87D4;         // the tray icon's callback
constexpr unsigned int WM_CLEAN_FOR_SHUTDOWN = 0x87D5;  // posted to itself before Windows ends the session
constexpr unsigned int WM_CLOSE_FOR_SETUP = 0x87DB;     // from the tray window: a setup program needs the files
// 0x87D6, 0x87D7, 0x87D9 and 0x87DA are the shields' (shields/shield_ports.h).
// WM_MOUSEHWHEEL, the tilted wheel of Windows Vista and later; the headers
// define it for those only.
constexpr unsigned int kMouseHWheelMessage = 0x020E;
// The timer that finishes the start-up once the first paint is out.
constexpr unsigned int kFinishStartupTimer = 0x87D8;

// Names given to RegisterWindowMessage.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";
constexpr char kMaximizeFromTrayMessage[] = "MAXIMIZE_FROM_SYSTEM_TRAY";
// Sent by the setup program and the uninstaller to the tray window (found by
// its class and title, as a second copy finds it): the program ends at once,
// as Escape ends it, so that its files can be replaced or removed.
constexpr char kCloseForSetupMessage[] = "SWEEPHARBOR_CLOSE_FOR_SETUP";

}  // namespace sh
