// An Outlook that tests script: default folders of items of several kinds (contacts,
// appointments, distribution lists), each item a bag of named properties with attachments
// and a recurrence pattern, failures injectable at any call, and a record of every call in
// order. It is safe to call from several threads, and can hold a call until a test lets it go,
// so that a close can be placed exactly in the middle of a read.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "outlook_store.h"

namespace norvex::outlook {

// A tag such as "c3": a prefix and a number. Built by appending, because GCC 12 at -O3 warns
// falsely (-Wrestrict) about a literal added to a temporary u16string.
inline std::u16string Tagged(std::u16string_view prefix, long long number) {
  std::u16string tag(prefix);
  for (char digit : std::to_string(number)) tag += static_cast<char16_t>(digit);
  return tag;
}

class ScriptedStore final : public OutlookStore {
 public:
  struct Node;
  using ItemPtr = std::shared_ptr<Node>;

  // Scripting. Kinds: "contact", "appointment", "distlist". A folder's added items are of
  // its default kind: contacts for 10, appointments for 9.
  ItemPtr AddItem(int32_t folderKind, const std::string& kind, const std::u16string& tag);
  void SetProperty(const ItemPtr& item, const std::u16string& name, OutlookValue value);
  void SetPatternProperty(const ItemPtr& item, const std::u16string& name, OutlookValue value);
  void AddAttachment(const ItemPtr& item, const std::u16string& displayName, std::string content);
  // The call on `member` of the object tagged `tag` ("" for any object) fails with `code`: its
  // nth occurrence counted from now (1 the next one), or every one from now with nth 0.
  void Fail(const std::u16string& tag, const std::u16string& member, int nth, int32_t code);
  // The nth call on `member` from now waits until Resume; WaitUntilHeld blocks until it does.
  void HoldAt(const std::u16string& member, int nth);
  void WaitUntilHeld();
  void Resume();
  void SetRecording(bool on);
  // Empties the folders and forgets failures, holds and calls; objects handed out stay valid.
  void Reset();
  // A value as the call record writes it, e.g. "Text:Ann", "Long:-1".
  static std::string Describe(const OutlookValue& value);

  // What the tests look at.
  std::vector<std::string> Calls() const;  // e.g. "Put c1.FullName=Text:Ann"
  std::size_t CallCount() const;
  void ClearCalls();
  std::vector<std::u16string> FolderTags(int32_t folderKind) const;  // saved items, folder order
  ItemPtr Find(const std::u16string& tag) const;
  OutlookValue Property(const ItemPtr& item, const std::u16string& name) const;
  OutlookValue PatternProperty(const ItemPtr& item, const std::u16string& name) const;
  int Saves(const ItemPtr& item) const;
  std::string Picture(const ItemPtr& item) const;  // the bytes AddPicture took, "" if none

  // The port.
  void EnterApartment() override;
  void LeaveApartment() override;
  OutlookRef CreateApplication() override;
  OutlookRef Convert(const OutlookRef& object, OutlookInterface to) override;
  OutlookValue Get(const OutlookRef& object, std::u16string_view property, ValueKind kind) override;
  OutlookRef GetObject(const OutlookRef& object, std::u16string_view property, OutlookInterface as) override;
  void Put(const OutlookRef& object, std::u16string_view property, const OutlookValue& value) override;
  void Call(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args) override;
  OutlookRef CallObject(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args,
                        OutlookInterface as) override;
  void Abandon(OutlookRef& object) override;

  // Objects alive now, released, and let go of without a call: the application's among them.
  int LiveApplications() const;
  int ReleasedApplications() const;
  int AbandonedObjects() const;

  class Object;
  struct Folder;

 private:
  using Lock = std::unique_lock<std::mutex>;
  OutlookValue Dispatch(Lock& lock, const char* how, const OutlookRef& object, std::u16string_view member,
                        const std::vector<OutlookValue>& args, ValueKind kind, OutlookInterface as);
  void Enter(Lock& lock, const std::string& line, const std::u16string& tag, std::u16string_view member);
  OutlookRef Wrap(std::shared_ptr<Node> node, OutlookInterface as);
  std::shared_ptr<Folder> FolderOf(int32_t kind);

  struct Failure {
    std::u16string tag, member;
    int nth;
    int32_t code;
  };
  struct HeldCall {
    std::u16string member;
    int nth = 0;
    bool held = false, resumed = false;
  };

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<int32_t, std::shared_ptr<Folder>> folders_;
  std::map<std::u16string, std::weak_ptr<Node>> byTag_;  // every item scripted or saved
  std::shared_ptr<Node> nameSpace_;
  std::vector<Failure> failures_;
  HeldCall hold_;
  bool recording_ = true;
  std::vector<std::string> calls_;
  std::size_t callCount_ = 0;
  int added_ = 0;
  std::atomic<int> liveApplications_{0}, releasedApplications_{0}, abandoned_{0};
  friend class Object;
};

}  // namespace norvex::outlook
