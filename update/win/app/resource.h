// Resource numbers of update.exe, shared by the resource script and the code.
#pragma once

#define IDD_UPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_UPDATE_PROGRESS 1001
#define IDC_UPDATE_STATUS 1002
