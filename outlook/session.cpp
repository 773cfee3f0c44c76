// The Outlook session: open, close, unload, and each operation's hold on the application.
#include "session.h"

namespace norvex::outlook {

struct OutlookSession::Operation::Apartment {
  std::atomic<bool> alive{true};
};

const OutlookRef& Required(const OutlookRef& object) {
  if (!object) throw OutlookCallError(kNullReference);
  return object;
}

OutlookSession::~OutlookSession() { Let(application_, apartment_); }

void OutlookSession::Let(OutlookRef& object, const std::shared_ptr<Apartment>& apartment) {
  if (!object) return;
  // Every copy of the application is made and dropped under the session's lock, so the count
  // is exact: while another holder remains, dropping this copy calls nothing, and the last
  // holder decides. Letting go without a call also stops every other copy from calling.
  if (object.use_count() > 1 || (apartment && apartment->alive.load()))
    object.reset();
  else
    store_.Abandon(object);
}

void OutlookSession::Open() {
  stop_.store(false);
  store_.EnterApartment();
  const std::lock_guard lock(mutex_);
  ThreadApartment& here = threads_[std::this_thread::get_id()];
  if (++here.depth == 1) here.apartment = std::make_shared<Apartment>();
  // A running operation keeps its own hold; this only lets go of the session's.
  Let(application_, apartment_);
  apartment_.reset();
  try {
    application_ = store_.CreateApplication();
  } catch (...) {
    application_.reset();
  }
  apartment_ = here.apartment;
  opener_ = std::this_thread::get_id();
}

void OutlookSession::Close() {
  stop_.store(true);
  const std::lock_guard lock(mutex_);
  const std::thread::id self = std::this_thread::get_id();
  // Only the opening thread may release, and only while nothing else uses the reference;
  // otherwise it waits for the next open or the unload.
  if (self == opener_ && running_ == 0) {
    Let(application_, apartment_);
    apartment_.reset();
  }
  // Leaving COM on a thread that open never entered would tear down an apartment that
  // belongs to someone else in the host.
  const auto here = threads_.find(self);
  if (here == threads_.end()) return;
  store_.LeaveApartment();
  if (--here->second.depth == 0) {
    here->second.apartment->alive.store(false);
    threads_.erase(here);
  }
}

OutlookSession::Operation OutlookSession::Begin() {
  const std::lock_guard lock(mutex_);
  ++running_;
  return Operation(*this, application_, apartment_);
}

OutlookSession::Operation::~Operation() {
  const std::lock_guard lock(session_.mutex_);
  --session_.running_;
  session_.Let(application_, apartment_);
}

OutlookRef OutlookSession::Operation::OpenDefaultItems(int32_t folderKind) const {
  OutlookStore& store = session_.store_;
  const OutlookRef nameSpace = store.CallObject(Required(application_), u"GetNamespace", {OutlookValue::Text(u"MAPI")},
                                                OutlookInterface::NameSpace);
  const OutlookRef folder = store.CallObject(Required(nameSpace), u"GetDefaultFolder", {OutlookValue::Long(folderKind)},
                                             OutlookInterface::Folder);
  return store.GetObject(Required(folder), u"Items", OutlookInterface::Items);
}

}  // namespace norvex::outlook
