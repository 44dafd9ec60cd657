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
#define IDD_ADD_FOLDERS 181
#define IDD_ADD_FILES 184
#define IDD_ADD_REGISTRY 185
#define IDD_UPDATE 201

// Icons
#define IDI_MAIN 128
#define IDI_KIND_FOLDER 157   // clean list image 0 (Type 0)
#define IDI_KIND_REGISTRY 159 // image 1 (Type 1)
#define IDI_KIND_RECYCLE 158  // image 2 (Type 2)
#define IDI_KIND_INTERNET 156 // image 3 (Type 3)
#define IDI_COOKIE 176
#define IDI_PLUGIN 178
#define IDI_DRIVE 182          // Add Folders image 0
#define IDI_FOLDER_CLOSED 183  // wizard tree image 1
#define IDI_FILE 211           // wizard tree image 4

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
#define IDB_CP_SETTINGS_SELECTED 195
#define IDB_CP_SCHEDULE_SELECTED 196
#define IDB_CP_SCHEDULE 197   // normal and hover
#define IDB_CP_SETTINGS 198   // normal and hover
#define IDB_CP_SHIELD 199     // normal and hover
#define IDB_CP_SHIELD_SELECTED 200
#define IDB_UPDATE 204
#define IDB_CP_HEADER 205

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

// ---- Additions for the templates (numbers from the panels' control tables)

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Page texts of the control panel
#define IDS_PAGE_SETTINGS 117
#define IDS_PAGE_SHIELD 118
#define IDS_PAGE_SCHEDULE 119

// Version and manifests: the start-up one (no elevation), and common
// controls 6, which the window activates after its first paint.
#define IDR_MANIFEST 1
#define IDR_VISUAL_STYLES_MANIFEST 2

// Control panel (template 130)
#define IDC_CP_TAB_SETTINGS 1058
#define IDC_CP_TAB_SCHEDULE 1059
#define IDC_CP_TAB_SHIELD 1060
#define IDC_CP_PAGE_TEXT 1019
#define IDC_CP_OPTIONS 1085
#define IDC_CP_AUTOUPDATE 1061
#define IDC_CP_RUNATSTARTUP 1062
#define IDC_CP_CHECKUPDATES 1063
#define IDC_CP_LASTUPDATE 1064
#define IDC_CP_CLEANFREESPACE 1069
#define IDC_CP_SHRED 1071
#define IDC_CP_SHRED_RANDOM 1072
#define IDC_CP_SHRED_DOD 1073
#define IDC_CP_SHRED_NSA 1074
#define IDC_CP_SHRED_GUTMANN 1075
#define IDC_CP_SHRED_GROUP 1076
#define IDC_CP_SHRED_WARNING 1086
#define IDC_CP_CLEANSHUTDOWN 1065
#define IDC_CP_AFTER_SHUTDOWN 1066
#define IDC_CP_AFTER_RESTART 1067
#define IDC_CP_AFTER_PROMPT 1068
#define IDC_CP_CLEANSTART 1077
#define IDC_CP_SHIELD_HOMEPAGE 1079
#define IDC_CP_SHIELD_HIJACK 1080
#define IDC_CP_KEEPURL 1081
#define IDC_CP_SHIELD_FAVORITES 1082
#define IDC_CP_KEEPURL_LABEL 1083
#define IDC_CP_SHIELD_SILENT 1084

// Update dialog (template 201)
#define IDC_UPDATE_TEXT 1078

// Choose Items (template 160)
#define IDB_CI_WINDOWS_SELECTED 162
#define IDB_CI_WINDOWS 163          // normal and hover
#define IDB_CI_BROWSERS 164         // normal and hover
#define IDB_CI_BROWSERS_SELECTED 165
#define IDB_CI_MESSAGING 166        // normal and hover
#define IDB_CI_MESSAGING_SELECTED 167
#define IDB_CI_PLUGINS 168          // normal and hover
#define IDB_CI_PLUGINS_SELECTED 169
#define IDB_CI_GROUP_WINDOWS 170    // the group tiles' pictures
#define IDB_CI_GROUP_BROWSER 171
#define IDB_CI_GROUP_MESSENGER 172
#define IDB_CI_GROUP_OFFICE 173
#define IDB_CI_GROUP_MAIL 174
#define IDB_CI_GROUP_YAHOO 191
#define IDB_CI_GROUP_AIM 192
#define IDB_CI_HEADER 206
#define IDC_CI_PLUGIN_LIST 1001
#define IDC_CI_TAB_WINDOWS 1009
#define IDC_CI_TAB_BROWSERS 1010
#define IDC_CI_TAB_MESSAGING 1011
#define IDC_CI_TAB_PLUGINS 1012

// Manage Cookies (template 175)
#define IDC_COOKIE_LABEL 1089

// Manage Plugins wizard (template 179)
#define IDC_WIZ_CREATE 1014
#define IDC_WIZ_MODIFY 1015
#define IDC_WIZ_NAME 1016
#define IDC_WIZ_PLUGINS 1017
#define IDC_WIZ_NEXT 1018
#define IDC_WIZ_WELCOME 1019
#define IDC_WIZ_WARNING 1020
#define IDC_WIZ_DELETE 1031
#define IDC_WIZ_TREE 1032
#define IDC_WIZ_ADD_FOLDERS 1034
#define IDC_WIZ_ADD_FILES 1037
#define IDC_WIZ_ADD_REGISTRY 1038
#define IDC_WIZ_ITEMS_LABEL 1039
#define IDC_WIZ_OPTIONS 1088

// The wizard's add dialogs (templates 181, 184, 185)
#define IDC_ADD_LIST 1001          // the added items, in all three
#define IDC_ADD_FOLDER_TREE 1041
#define IDC_ADD_INCLUDE_SUB 1042
#define IDC_ADD_DELETE_SUB 1043
#define IDC_ADD_MASK 1044
#define IDC_ADD_SELECTED 1046      // "Add Selected Folder", "Add"
#define IDC_ADD_REMOVE 1047
#define IDC_ADD_REMOVE_ALL 1048
#define IDC_ADD_FILE_TREE 1049
#define IDC_ADD_ALL_FILES 1050
#define IDC_ADD_KEY_TREE 1050
#define IDC_ADD_KEYS_LIST 1051
#define IDC_ADD_FILE_LIST 1052
#define IDC_ADD_KEY 1053
#define IDC_ADD_VALUE 1054
#define IDC_ADD_VALUE_LIST 1001    // Add Registry Keys: the selected key's values

// Authorization popup of the shields (dialog template 1, bitmap 2; other
// resource types than the manifests 1 and 2)
#define IDD_AUTHORIZATION 1
#define IDB_AUTHORIZATION 2
#define IDC_AUTH_YES 1084
#define IDC_AUTH_NO 1085
#define IDC_AUTH_TEXT 1088
