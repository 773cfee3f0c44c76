// The scripted Outlook: objects are nodes of a small tree (application, namespace, folders,
// item collections, items, attachments, patterns); every port call is dispatched by the
// node's kind and the member's name, after the failure and hold rules have had their say.
#include "scripted_store.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "text.h"

namespace norvex::outlook {

namespace {

constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005);
constexpr int32_t kBadIndex = static_cast<int32_t>(0x8002000B);
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);
constexpr int32_t kFileNotFound = static_cast<int32_t>(0x80070002);
constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80070005);

}  // namespace

std::string ScriptedStore::Describe(const OutlookValue& v) {
  char number[40];
  switch (v.kind) {
    case ValueKind::Missing:
      return "Missing";
    case ValueKind::Text:
      return "Text:" + text::ToUtf8(v.text);
    case ValueKind::Date:
      std::snprintf(number, sizeof number, "Date:%.17g", v.date);
      return number;
    case ValueKind::Long:
      return "Long:" + std::to_string(v.number);
    case ValueKind::Flag:
      return "Flag:" + std::to_string(v.flag);
    case ValueKind::Object:
      return "Object";
  }
  return "?";
}

namespace {

const char* InterfaceName(OutlookInterface i) {
  switch (i) {
    case OutlookInterface::Application:
      return "Application";
    case OutlookInterface::NameSpace:
      return "NameSpace";
    case OutlookInterface::Folder:
      return "Folder";
    case OutlookInterface::Items:
      return "Items";
    case OutlookInterface::Item:
      return "Item";
    case OutlookInterface::ContactItem:
      return "ContactItem";
    case OutlookInterface::AppointmentItem:
      return "AppointmentItem";
    case OutlookInterface::Attachments:
      return "Attachments";
    case OutlookInterface::Attachment:
      return "Attachment";
    case OutlookInterface::RecurrencePattern:
      return "RecurrencePattern";
  }
  return "?";
}

const OutlookValue& Arg(const std::vector<OutlookValue>& args, std::size_t i, ValueKind kind) {
  if (args.size() <= i || args[i].kind != kind) throw OutlookCallError(kTypeMismatch);
  return args[i];
}

bool IsItemKind(const std::string& kind) { return kind == "contact" || kind == "appointment" || kind == "distlist"; }

}  // namespace

struct ScriptedStore::Folder {
  int32_t kind = 0;
  std::string defaultKind;
  std::vector<std::shared_ptr<Node>> items;
  std::shared_ptr<Node> node;
};

struct ScriptedStore::Node {
  std::string kind;
  std::u16string tag;
  std::map<std::u16string, OutlookValue, std::less<>> props;
  std::vector<std::shared_ptr<Node>> children;  // an attachments collection's attachments
  std::shared_ptr<Node> attachments, pattern;
  std::string content;                       // an attachment's bytes; the picture a contact took
  std::weak_ptr<Folder> folder;              // the store's folders own their items, not the other way
  std::vector<std::shared_ptr<Node>> order;  // an item collection's view, and its cursor
  std::size_t cursor = 0;
  int saves = 0;
  bool stored = false;
};

namespace {

std::shared_ptr<ScriptedStore::Node> NewNode(std::string kind, std::u16string tag) {
  auto node = std::make_shared<ScriptedStore::Node>();
  node->kind = std::move(kind);
  node->tag = std::move(tag);
  return node;
}

// An item's pattern and attachments exist from their first use, by a script or by a call.
const std::shared_ptr<ScriptedStore::Node>& PatternOf(ScriptedStore::Node& item) {
  if (!item.pattern) item.pattern = NewNode("pattern", item.tag + u"/pattern");
  return item.pattern;
}

const std::shared_ptr<ScriptedStore::Node>& AttachmentsOf(ScriptedStore::Node& item) {
  if (!item.attachments) item.attachments = NewNode("attachments", item.tag + u"/attachments");
  return item.attachments;
}

}  // namespace

class ScriptedStore::Object final : public OutlookObject {
 public:
  Object(ScriptedStore& store, std::shared_ptr<Node> node, OutlookInterface as)
      : store_(store), node_(std::move(node)), as_(as) {
    if (node_->kind == "application") ++store_.liveApplications_;
  }
  ~Object() override {
    if (node_->kind != "application") return;
    --store_.liveApplications_;
    if (abandoned_) return;
    ++store_.releasedApplications_;
    const Lock lock(store_.mutex_);
    if (store_.recording_) store_.calls_.push_back("Release application");
  }
  OutlookInterface Interface() const override { return as_; }
  const std::shared_ptr<Node>& node() const { return node_; }
  void Abandon() { abandoned_ = true; }

 private:
  ScriptedStore& store_;
  std::shared_ptr<Node> node_;
  OutlookInterface as_;
  bool abandoned_ = false;
};

// --- scripting -------------------------------------------------------------------------

std::shared_ptr<ScriptedStore::Folder> ScriptedStore::FolderOf(int32_t kind) {
  std::shared_ptr<Folder>& folder = folders_[kind];
  if (!folder) {
    folder = std::make_shared<Folder>();
    folder->kind = kind;
    folder->defaultKind = kind == 9 ? "appointment" : "contact";
    folder->node = NewNode("folder", Tagged(u"folder", kind));
    folder->node->folder = folder;
  }
  return folder;
}

ScriptedStore::ItemPtr ScriptedStore::AddItem(int32_t folderKind, const std::string& kind, const std::u16string& tag) {
  const Lock lock(mutex_);
  const ItemPtr item = NewNode(kind, tag);
  const std::shared_ptr<Folder> folder = FolderOf(folderKind);
  item->folder = folder;
  item->stored = true;
  folder->items.push_back(item);
  byTag_[tag] = item;
  return item;
}

void ScriptedStore::SetProperty(const ItemPtr& item, const std::u16string& name, OutlookValue value) {
  const Lock lock(mutex_);
  item->props[name] = std::move(value);
}

void ScriptedStore::SetPatternProperty(const ItemPtr& item, const std::u16string& name, OutlookValue value) {
  const Lock lock(mutex_);
  PatternOf(*item)->props[name] = std::move(value);
}

void ScriptedStore::AddAttachment(const ItemPtr& item, const std::u16string& displayName, std::string content) {
  const Lock lock(mutex_);
  auto attachment = NewNode("attachment", item->tag + u"/" + displayName);
  attachment->props[u"DisplayName"] = OutlookValue::Text(displayName);
  attachment->content = std::move(content);
  AttachmentsOf(*item)->children.push_back(std::move(attachment));
}

void ScriptedStore::Fail(const std::u16string& tag, const std::u16string& member, int nth, int32_t code) {
  const Lock lock(mutex_);
  failures_.push_back({tag, member, nth, code});
}

void ScriptedStore::HoldAt(const std::u16string& member, int nth) {
  const Lock lock(mutex_);
  hold_ = {member, nth, false, false};
}

void ScriptedStore::WaitUntilHeld() {
  Lock lock(mutex_);
  changed_.wait(lock, [this] { return hold_.held; });
}

void ScriptedStore::Resume() {
  const Lock lock(mutex_);
  hold_.resumed = true;
  changed_.notify_all();
}

void ScriptedStore::Reset() {
  const Lock lock(mutex_);
  folders_.clear();
  byTag_.clear();
  nameSpace_.reset();
  failures_.clear();
  hold_ = {};
  calls_.clear();
  callCount_ = 0;
}

void ScriptedStore::SetRecording(bool on) {
  const Lock lock(mutex_);
  recording_ = on;
}

std::vector<std::string> ScriptedStore::Calls() const {
  const Lock lock(mutex_);
  return calls_;
}

std::size_t ScriptedStore::CallCount() const {
  const Lock lock(mutex_);
  return callCount_;
}

void ScriptedStore::ClearCalls() {
  const Lock lock(mutex_);
  calls_.clear();
  callCount_ = 0;
}

std::vector<std::u16string> ScriptedStore::FolderTags(int32_t folderKind) const {
  const Lock lock(mutex_);
  std::vector<std::u16string> tags;
  const auto folder = folders_.find(folderKind);
  if (folder != folders_.end())
    for (const auto& item : folder->second->items) tags.push_back(item->tag);
  return tags;
}

ScriptedStore::ItemPtr ScriptedStore::Find(const std::u16string& tag) const {
  const Lock lock(mutex_);
  const auto found = byTag_.find(tag);
  if (found == byTag_.end()) return nullptr;
  ItemPtr item = found->second.lock();
  return item && item->stored ? item : nullptr;
}

OutlookValue ScriptedStore::Property(const ItemPtr& item, const std::u16string& name) const {
  const Lock lock(mutex_);
  const auto found = item->props.find(name);
  return found == item->props.end() ? OutlookValue{} : found->second;
}

OutlookValue ScriptedStore::PatternProperty(const ItemPtr& item, const std::u16string& name) const {
  const Lock lock(mutex_);
  if (!item->pattern) return {};
  const auto found = item->pattern->props.find(name);
  return found == item->pattern->props.end() ? OutlookValue{} : found->second;
}

int ScriptedStore::Saves(const ItemPtr& item) const {
  const Lock lock(mutex_);
  return item->saves;
}

std::string ScriptedStore::Picture(const ItemPtr& item) const {
  const Lock lock(mutex_);
  return item->kind == "contact" ? item->content : std::string();
}

int ScriptedStore::LiveApplications() const { return liveApplications_.load(); }
int ScriptedStore::ReleasedApplications() const { return releasedApplications_.load(); }
int ScriptedStore::AbandonedObjects() const { return abandoned_.load(); }

// --- the port ----------------------------------------------------------------------------

void ScriptedStore::Enter(Lock& lock, const std::string& line, const std::u16string& tag, std::u16string_view member) {
  ++callCount_;
  if (recording_) calls_.push_back(line);
  for (auto rule = failures_.begin(); rule != failures_.end(); ++rule) {
    if (rule->member != member || (!rule->tag.empty() && rule->tag != tag)) continue;
    const int32_t code = rule->code;
    if (rule->nth == 0) throw OutlookCallError(code);
    if (--rule->nth == 0) {
      failures_.erase(rule);
      throw OutlookCallError(code);
    }
  }
  if (!hold_.held && hold_.nth > 0 && hold_.member == member && --hold_.nth == 0) {
    hold_.held = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return hold_.resumed; });
  }
}

OutlookRef ScriptedStore::Wrap(std::shared_ptr<Node> node, OutlookInterface as) {
  if (!node) return nullptr;
  return std::make_shared<Object>(*this, std::move(node), as);
}

void ScriptedStore::EnterApartment() {
  Lock lock(mutex_);
  Enter(lock, "EnterApartment", u"", u"EnterApartment");
}

void ScriptedStore::LeaveApartment() {
  Lock lock(mutex_);
  Enter(lock, "LeaveApartment", u"", u"LeaveApartment");
}

OutlookRef ScriptedStore::CreateApplication() {
  Lock lock(mutex_);
  Enter(lock, "CreateApplication", u"", u"CreateApplication");
  return Wrap(NewNode("application", u"application"), OutlookInterface::Application);
}

OutlookRef ScriptedStore::Convert(const OutlookRef& object, OutlookInterface to) {
  Lock lock(mutex_);
  if (!object) {
    Enter(lock, std::string("Convert <empty>->") + InterfaceName(to), u"", u"Convert");
    return nullptr;
  }
  const std::shared_ptr<Node>& node = static_cast<const Object&>(*object).node();
  Enter(lock, recording_ ? "Convert " + text::ToUtf8(node->tag) + "->" + InterfaceName(to) : std::string(), node->tag,
        u"Convert");
  const bool fits = to == OutlookInterface::ContactItem       ? node->kind == "contact"
                    : to == OutlookInterface::AppointmentItem ? node->kind == "appointment"
                    : to == OutlookInterface::Item            ? IsItemKind(node->kind)
                                                              : true;
  return fits ? Wrap(node, to) : nullptr;
}

OutlookValue ScriptedStore::Get(const OutlookRef& object, std::u16string_view property, ValueKind kind) {
  Lock lock(mutex_);
  return Dispatch(lock, "Get", object, property, {}, kind, OutlookInterface::Item);
}

OutlookRef ScriptedStore::GetObject(const OutlookRef& object, std::u16string_view property, OutlookInterface as) {
  Lock lock(mutex_);
  return Dispatch(lock, "GetObject", object, property, {}, ValueKind::Object, as).object;
}

void ScriptedStore::Put(const OutlookRef& object, std::u16string_view property, const OutlookValue& value) {
  Lock lock(mutex_);
  Dispatch(lock, "Put", object, property, {value}, ValueKind::Missing, OutlookInterface::Item);
}

void ScriptedStore::Call(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args) {
  Lock lock(mutex_);
  Dispatch(lock, "Call", object, method, args, ValueKind::Missing, OutlookInterface::Item);
}

OutlookRef ScriptedStore::CallObject(const OutlookRef& object, std::u16string_view method,
                                     const std::vector<OutlookValue>& args, OutlookInterface as) {
  Lock lock(mutex_);
  return Dispatch(lock, "CallObject", object, method, args, ValueKind::Object, as).object;
}

void ScriptedStore::Abandon(OutlookRef& object) {
  if (!object) return;
  {
    Lock lock(mutex_);
    const std::shared_ptr<Node>& node = static_cast<Object&>(*object).node();
    Enter(lock, "Abandon " + text::ToUtf8(node->tag), node->tag, u"Abandon");
    static_cast<Object&>(*object).Abandon();
    ++abandoned_;
  }
  object.reset();
}

OutlookValue ScriptedStore::Dispatch(Lock& lock, const char* how, const OutlookRef& object, std::u16string_view member,
                                     const std::vector<OutlookValue>& args, ValueKind kind, OutlookInterface as) {
  if (!object) {
    Enter(lock, recording_ ? std::string(how) + " <empty>." + text::ToUtf8(member) : std::string(), u"", member);
    throw OutlookCallError(kNullReference);
  }
  const std::shared_ptr<Node> node = static_cast<const Object&>(*object).node();
  // The line is only built while calls are recorded: a benchmark reads with recording off.
  std::string line;
  if (recording_) {
    line = std::string(how) + " " + text::ToUtf8(node->tag) + "." + text::ToUtf8(member);
    if (std::string_view(how) == "Put") {
      line += "=" + Describe(args[0]);
    } else if (std::string_view(how) != "Get" && std::string_view(how) != "GetObject") {
      line += "(";
      for (std::size_t i = 0; i < args.size(); ++i) line += (i ? "," : "") + Describe(args[i]);
      line += ")";
    }
  }
  Enter(lock, line, node->tag, member);
  const std::string_view h(how);
  const std::string& k = node->kind;

  if (h == "Get") {
    if (member == u"Count" && (k == "items" || k == "attachments"))
      return OutlookValue::Long(static_cast<int32_t>(k == "items" ? node->order.size() : node->children.size()));
    const auto found = node->props.find(member);
    if (found == node->props.end()) return OutlookValue::Neutral(kind);
    OutlookValue value = found->second;
    if (value.kind == kind) return value;
    if (kind == ValueKind::Flag && value.kind == ValueKind::Long)
      return OutlookValue::Flag(static_cast<int16_t>(value.number));
    if (kind == ValueKind::Long && value.kind == ValueKind::Flag) return OutlookValue::Long(value.flag);
    throw OutlookCallError(kTypeMismatch);
  }
  if (h == "Put") {
    node->props[std::u16string(member)] = args[0];
    return {};
  }
  if (h == "GetObject") {
    if (k == "folder" && member == u"Items") {
      auto items = NewNode("items", u"items" + node->tag.substr(6));
      items->folder = node->folder;
      items->order = node->folder.lock()->items;
      return OutlookValue::Object(Wrap(items, as));
    }
    if (k == "contact" && member == u"Attachments") return OutlookValue::Object(Wrap(AttachmentsOf(*node), as));
    throw OutlookCallError(kMemberNotFound);
  }

  // Methods.
  if (k == "application" && member == u"GetNamespace") {
    if (Arg(args, 0, ValueKind::Text).text != u"MAPI") throw OutlookCallError(kInvalidArgument);
    if (!nameSpace_) nameSpace_ = NewNode("namespace", u"namespace");
    return OutlookValue::Object(Wrap(nameSpace_, as));
  }
  if (k == "namespace" && member == u"GetDefaultFolder")
    return OutlookValue::Object(Wrap(FolderOf(Arg(args, 0, ValueKind::Long).number)->node, as));
  if (k == "items") {
    if (member == u"Sort") {
      const std::u16string& by = Arg(args, 0, ValueKind::Text).text;
      const bool descending = Arg(args, 1, ValueKind::Flag).flag != 0;
      // Outlook's property names in a sort are not case-sensitive. Keys are found once per item.
      std::vector<std::pair<OutlookValue, std::shared_ptr<Node>>> keyed;
      for (const auto& item : node->order) {
        OutlookValue key;
        for (const auto& [property, value] : item->props)
          if (text::EqualsNoCase(property, by)) key = value;
        keyed.emplace_back(std::move(key), item);
      }
      auto less = [](const auto& a, const auto& b) {
        const OutlookValue &x = a.first, &y = b.first;
        if (x.kind != y.kind) return x.kind < y.kind;
        if (x.kind == ValueKind::Text) return x.text < y.text;
        if (x.kind == ValueKind::Date) return x.date < y.date;
        return x.number < y.number;
      };
      if (descending)
        std::stable_sort(keyed.begin(), keyed.end(), [&less](const auto& a, const auto& b) { return less(b, a); });
      else
        std::stable_sort(keyed.begin(), keyed.end(), less);
      for (std::size_t i = 0; i < keyed.size(); ++i) node->order[i] = std::move(keyed[i].second);
      return {};
    }
    if (member == u"GetFirst") {
      node->cursor = 0;
      return OutlookValue::Object(node->order.empty() ? nullptr : Wrap(node->order[0], as));
    }
    if (member == u"GetNext") {
      if (node->cursor < node->order.size()) ++node->cursor;
      return OutlookValue::Object(node->cursor < node->order.size() ? Wrap(node->order[node->cursor], as) : nullptr);
    }
    if (member == u"Add") {
      if (args.size() != 1 || args[0].kind != ValueKind::Missing) throw OutlookCallError(kTypeMismatch);
      auto item = NewNode(node->folder.lock()->defaultKind, Tagged(u"new", ++added_));
      item->folder = node->folder;
      return OutlookValue::Object(Wrap(item, as));
    }
  }
  if (k == "attachments" && member == u"Item") {
    const int32_t i = Arg(args, 0, ValueKind::Long).number;
    if (i < 1 || static_cast<std::size_t>(i) > node->children.size()) throw OutlookCallError(kBadIndex);
    return OutlookValue::Object(Wrap(node->children[static_cast<std::size_t>(i) - 1], as));
  }
  if (k == "attachment" && member == u"SaveAsFile") {
    std::ofstream out(std::filesystem::path(Arg(args, 0, ValueKind::Text).text), std::ios::binary | std::ios::trunc);
    if (!(out << node->content) || !out.flush()) throw OutlookCallError(kAccessDenied);
    return {};
  }
  if (k == "contact" && member == u"AddPicture") {
    std::ifstream in(std::filesystem::path(Arg(args, 0, ValueKind::Text).text), std::ios::binary);
    if (!in) throw OutlookCallError(kFileNotFound);
    node->content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    node->props[u"HasPicture"] = OutlookValue::Flag(-1);
    return {};
  }
  if (k == "appointment" && member == u"GetRecurrencePattern") return OutlookValue::Object(Wrap(PatternOf(*node), as));
  if (IsItemKind(k) && member == u"Save") {
    ++node->saves;
    const std::shared_ptr<Folder> folder = node->folder.lock();
    if (!node->stored && folder) {
      node->stored = true;
      folder->items.push_back(node);
      byTag_[node->tag] = node;
      if (!node->props.count(u"EntryID")) node->props[u"EntryID"] = OutlookValue::Text(u"ID-" + node->tag);
    }
    return {};
  }
  if (IsItemKind(k) && member == u"Delete") {
    if (const std::shared_ptr<Folder> folder = node->folder.lock()) std::erase(folder->items, node);
    node->stored = false;
    return {};
  }
  throw OutlookCallError(kMemberNotFound);
}

}  // namespace norvex::outlook
