// Resource numbers of sideloader.exe, shared by the resource script and the code.
#pragma once

#define IDD_INSTALLER_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_DEFAULT_ICON_PNG 132
#define IDC_APP_NAME 1000
#define IDC_APP_VERSION 1001
#define IDC_APP_MINIMUM 1002
#define IDC_LIST_HEADING 1003
#define IDC_STATUS 1004
#define IDC_ICON_ANCHOR 1012
#define IDC_PERMISSIONS 1013
#define IDC_LAUNCH_SUITE 1015
#define IDC_CLOSE 1016
#define IDC_INSTALL 1018
