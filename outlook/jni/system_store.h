// The store the shipped library talks to: Outlook's automation objects on Windows, the
// scripted store in the host-side test build. One per process, created on first use.
#pragma once

#include "outlook_store.h"

namespace norvex::outlook {

OutlookStore& SystemStore();

}  // namespace norvex::outlook
