// Waiting on an inherited process handle given by its number.
#include "win/handle_waiter.h"

#include "win/windows_api.h"

namespace norvex::update {

void Win32HandleWaiter::WaitAndClose(std::intptr_t handle) {
  // Negative values are the pseudo-handles of the calling process and thread: waiting on them
  // would never end, so they count as no handle at all.
  if (handle < 0) return;
  HANDLE h = reinterpret_cast<HANDLE>(handle);
  // An invalid value makes the wait fail at once; the run goes on either way.
  ::WaitForSingleObject(h, INFINITE);
  ::CloseHandle(h);
}

}  // namespace norvex::update
