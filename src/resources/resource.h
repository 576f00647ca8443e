#pragma once
// Resource identifiers shared by the .rc files and the code.
#define IDD_CONFIGURE 100
#define IDC_CONFIG_TABS 1001
#define IDC_CONFIG_OK 1
#define IDC_CONFIG_CANCEL 2
#define IDC_CONFIG_UPDATE 1002
