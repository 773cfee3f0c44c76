// Resource numbers of VantrelZURaduHelper.exe, shared by the resource script and the code.
#pragma once

#define IDD_NORVEXTOOL_HELPER_DIALOG 102
#define IDR_MAINFRAME 128
