// The one Outlook session of the process: the application reference, the stop flag that a
// close raises for a read or search running on another thread, and the way to a default
// folder's items. Who may release the application reference, and when, is decided here so
// that no call ever reaches an object whose apartment is gone or that another thread uses.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "outlook_store.h"

namespace norvex::outlook {

// Outlook's default folder kinds.
inline constexpr int32_t kFolderCalendar = 9;
inline constexpr int32_t kFolderContacts = 10;

// The object itself, or OutlookCallError(kNullReference) when it is empty.
const OutlookRef& Required(const OutlookRef& object);

class OutlookSession {
 public:
  explicit OutlookSession(OutlookStore& store) : store_(store) {}
  ~OutlookSession();  // the library's unload
  OutlookSession(const OutlookSession&) = delete;
  OutlookSession& operator=(const OutlookSession&) = delete;

  OutlookStore& Store() { return store_; }

  // Enters COM on the calling thread and creates the application; a failed creation leaves
  // the reference empty (every later data operation then fails at its first step).
  void Open();
  // Raises the stop flag and leaves COM on the calling thread if open entered it there.
  void Close();
  bool StopRequested() const { return stop_.load(); }

  // One read, search or insert: holds the application while it runs, so that a close on
  // another thread leaves it alone.
  class Operation {
   public:
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    // The items of a default folder (contacts or calendar); throws OutlookCallError.
    OutlookRef OpenDefaultItems(int32_t folderKind) const;

   private:
    friend class OutlookSession;
    struct Apartment;
    Operation(OutlookSession& session, OutlookRef application, std::shared_ptr<Apartment> apartment)
        : session_(session), application_(std::move(application)), apartment_(std::move(apartment)) {}
    OutlookSession& session_;
    OutlookRef application_;
    std::shared_ptr<Apartment> apartment_;
  };
  Operation Begin();

 private:
  using Apartment = Operation::Apartment;
  struct ThreadApartment {
    int depth = 0;
    std::shared_ptr<Apartment> apartment;
  };
  // Releases a reference whose apartment still exists; drops one whose apartment is gone.
  void Let(OutlookRef& object, const std::shared_ptr<Apartment>& apartment);

  OutlookStore& store_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  OutlookRef application_;
  std::shared_ptr<Apartment> apartment_;  // the apartment application_ lives in
  std::thread::id opener_;
  int running_ = 0;
  std::map<std::thread::id, ThreadApartment> threads_;  // COM entered by open, per thread
};

}  // namespace norvex::outlook
