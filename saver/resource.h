// Resource ids of the saver (shared by the resource script and the code).
#pragma once

#define IDI_NIMBRA 1
#define IDS_DESCRIPTION 1
#define IDD_CONFIG 104
#define IDC_FIT_SCREEN 1000
