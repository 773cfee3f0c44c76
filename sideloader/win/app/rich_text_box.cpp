// EM_STREAMIN with SF_RTF, fed from a string in as many pieces as the control asks for.
#include "rich_text_box.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace norvex::sideloader {
namespace {

struct Reader {
  const std::string& bytes;
  std::size_t offset = 0;
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* reader = reinterpret_cast<Reader*>(cookie);
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max<LONG>(wanted, 0)), reader->bytes.size() - reader->offset);
  std::memcpy(buffer, reader->bytes.data() + reader->offset, count);
  reader->offset += count;
  *given = static_cast<LONG>(count);
  return 0;
}

}  // namespace

void StreamRichText(HWND box, const std::string& rtf) {
  Reader reader{rtf};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
  stream.pfnCallback = &ReadPiece;
  ::SendMessageW(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace norvex::sideloader
