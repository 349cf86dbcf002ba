// Resource ids of the installer (shared by the resource script and the code).
#pragma once

#define IDS_PARENT_FOLDER 1000   // default folder's parent below the system drive
#define IDS_PRODUCT_NAME 1001    // caption and display name
#define IDS_MAKER 1002
#define IDS_PRODUCT 1003
#define IDS_PRODUCT_FOLDER 1004  // the product's own folder name
#define IDS_USER_KEY 1005        // per-user key below "software"
#define IDS_UNINSTALL_KEY 1006   // name of the entry in Windows' list of installed programs
