// The Outlook store on Windows: Outlook's automation objects driven through IDispatch, each
// object kept as the interface of its kind.
#pragma once

#include <memory>

#include "outlook_store.h"

namespace norvex::outlook {

std::unique_ptr<OutlookStore> MakeComStore();

}  // namespace norvex::outlook
