// On Windows the library's store is Outlook itself, through COM automation.
#include "com_store.h"
#include "system_store.h"

namespace norvex::outlook {

OutlookStore& SystemStore() {
  static const std::unique_ptr<OutlookStore> store = MakeComStore();
  return *store;
}

}  // namespace norvex::outlook
