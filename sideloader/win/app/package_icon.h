// The package's picture at the top left of the installer window: the icon taken out of the
// package when there is one, otherwise the program's own default picture, through GDI+.
#pragma once

#include "package_info.h"
#include "win/windows_api.h"

namespace norvex::sideloader {

// GDI+ is usable while one of these lives.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// Draws the picture scaled to 72 x 72 with its top-left corner at (x, y); a picture that does
// not load draws nothing.
void DrawPackageIcon(HDC dc, int x, int y, const CPackageInfo& package);

}  // namespace norvex::sideloader
