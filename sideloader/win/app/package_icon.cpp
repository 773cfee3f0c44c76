// Loading and drawing the package picture with GDI+: the extracted PNG from the work folder, or
// the default PNG resource through a stream on a global memory copy of it.
#include "package_icon.h"

#include <algorithm>
#include <cstring>
#include <memory>

// GDI+ uses min and max unqualified, and <objidl.h> must come first for its stream type.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include "icon.h"
#include "resource.h"
#include "win/handles.h"

namespace norvex::sideloader {
namespace {

constexpr int kIconSide = 72;

norvex::win::com_ptr<IStream> DefaultPictureStream() {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_DEFAULT_ICON_PNG), L"PNG");
  if (!found) return {};
  const DWORD size = ::SizeofResource(module, found);
  const void* bytes = ::LockResource(::LoadResource(module, found));
  if (!bytes || size == 0) return {};
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return {};
  if (void* target = ::GlobalLock(copy)) {
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(copy);
  }
  norvex::win::com_ptr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, stream.put()))) {
    ::GlobalFree(copy);
    return {};
  }
  return stream;
}

}  // namespace

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

void DrawPackageIcon(HDC dc, int x, int y, const CPackageInfo& package) {
  norvex::win::com_ptr<IStream> stream;
  std::unique_ptr<Gdiplus::Image> picture;
  if (IsLoaded(package) && package.m_bHasIcon) {
    picture.reset(Gdiplus::Image::FromFile(norvex::win::W(IconFilePath(package))));
  } else if ((stream = DefaultPictureStream())) {
    picture.reset(Gdiplus::Image::FromStream(stream.get()));
  }
  if (!picture || picture->GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::Graphics graphics(dc);
  graphics.DrawImage(picture.get(), x, y, kIconSide, kIconSide);
}

}  // namespace norvex::sideloader
