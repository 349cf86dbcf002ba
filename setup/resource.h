// Resource ids of the installer (shared by the resource script and the code).
#pragma once

#define IDS_PARENT_FOLDER 1000   // default folder's parent below the system drive
#define IDS_PRODUCT_NAME 1001    // caption and display name
#define IDS_MAKER 1002
#define IDS_PRODUCT 1003
#define IDS_PRODUCT_FOLDER 1004  // the product's own folder name
#define IDS_USER_KEY 1005        // per-user key below "software"
#define IDS_UNINSTALL_KEY 1006   // name of the entry in Windows' list of installed programs

#define IDI_SETUP 1
#define IDD_MAIN 1               // main dialog
#define IDD_FOLDER 2             // install folder selection
#define IDD_COPY 3               // copy progress

#define IDC_INSTALL 102          // install / uninstall button of the main dialog
#define IDC_QUIT 998

#define IDC_FOLDER_GROUP 200
#define IDC_FOLDER_EDIT 201
#define IDC_SPACE_TEXT 202
#define IDC_BROWSE 203

#define IDC_TOTAL_BAR 301
#define IDC_FILE_BAR 302
#define IDC_COPY_LABEL 303
#define IDC_FILE_NAME 304
