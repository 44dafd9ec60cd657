// Resource numbers. The numbers that matter for behaviour are fixed; the
// names are ours. Included by the resource script and by the code.
#pragma once

// Dialog templates
#define IDD_MAIN 102
#define IDD_CLEANLIST 129
#define IDD_CONTROLPANEL 130
#define IDD_CHOOSEITEMS 160
#define IDD_COOKIES 175
#define IDD_PLUGINS 179

// Icons
#define IDI_MAIN 128
#define IDI_KIND_FOLDER 157   // clean list image 0 (Type 0)
#define IDI_KIND_REGISTRY 159 // image 1 (Type 1)
#define IDI_KIND_RECYCLE 158  // image 2 (Type 2)
#define IDI_KIND_INTERNET 156 // image 3 (Type 3)
#define IDI_COOKIE 176
#define IDI_PLUGIN 178

// Cursor
#define IDC_HANDCURSOR 132

// Bitmaps
#define IDB_SKIN 129
#define IDB_CLEAN_NORMAL 130
#define IDB_CLEAN_HOVER 131
#define IDB_CLEAN_SELECTED 133
#define IDB_CONTROL_SELECTED 138
#define IDB_CONTROL_NORMAL 139
#define IDB_CONTROL_HOVER 140
#define IDB_ITEMS_SELECTED 141
#define IDB_ITEMS_NORMAL 142
#define IDB_ITEMS_HOVER 143
#define IDB_COOKIES_SELECTED 144
#define IDB_COOKIES_NORMAL 145
#define IDB_COOKIES_HOVER 146
#define IDB_PLUGINS_SELECTED 147
#define IDB_PLUGINS_NORMAL 148
#define IDB_PLUGINS_HOVER 149
#define IDB_PENDING 153
#define IDB_DONE 154
#define IDB_HOME 186
#define IDB_EXIT 187
#define IDB_MINIMIZE 188
#define IDB_HELP 190

// Menus
#define IDR_TRAYMENU 202

// Strings
#define IDS_COL_ITEMS 102
#define IDS_COL_FILES 104
#define IDS_COL_SIZE 105
#define IDS_COL_STATUS 106
#define IDS_START_CLEANING 107
#define IDS_ABORT 108
#define IDS_SHELL_FOLDERS 109
#define IDS_REGISTRY_ERROR 111
#define IDS_PENDING 112
#define IDS_START_CLEANING_IDLE 113
#define IDS_MACHINE_SHELL_FOLDERS 114
#define IDS_UPDATE_BASE 115
#define IDS_SHRED_WARNING 120
#define IDS_WIZARD_WELCOME 121
#define IDS_WIZARD_WARNING 122
#define IDS_CLOSE_CONFIRM 32779

// Main window controls
#define IDC_NAV_CLEAN 1000
#define IDC_NAV_RESULTS 1001   // hidden, no function
#define IDC_NAV_CONTROL 1002
#define IDC_NAV_ITEMS 1003
#define IDC_NAV_COOKIES 1004
#define IDC_NAV_PLUGINS 1005
#define IDC_NAV_SHIELD 1057    // hidden, no function
#define IDC_TITLE_EXIT 1055
#define IDC_TITLE_MINIMIZE 1056
#define IDC_TITLE_HELP 1058
#define IDC_LINK_HOME 1087
#define IDC_LINK_PRODUCTS 1088
#define IDC_LINK_RESOURCES 1090
#define IDC_LINK_SUPPORT 1091
#define IDC_LINK_HELP 1092

// Clean list panel
#define IDC_CLEAN_LIST 1001
#define IDC_CLEAN_BUTTON 1002

// Manage Cookies panel
#define IDC_COOKIE_LIST 1001
#define IDC_COOKIE_IGNORE 1013

// Tray menu commands
#define ID_TRAY_OPEN 32772
#define ID_TRAY_CLEAN 32773
#define ID_TRAY_CONTROL 32774
#define ID_TRAY_ITEMS 32775
#define ID_TRAY_COOKIES 32776
#define ID_TRAY_PLUGINS 32777
#define ID_TRAY_SHIELDS 32778
#define ID_APP_EXIT 57665
