// A stand-in for Outlook's automation objects, an in-process COM server registered under the
// Outlook.Application class id in the test's Wine prefix. It plays the scripted folders named
// by NORVEX_FAKE_OUTLOOK_SCRIPT through IDispatch, answers QueryInterface for the Outlook
// interface of each object's kind only, and appends every GetIDsOfNames and Invoke to the
// log named by NORVEX_FAKE_OUTLOOK_LOG:
//   lookup|KIND|NAME
//   invoke|KIND|NAME|FLAGS|ARG|...   (arguments in the order written, then named:ID)
#include "win/windows_api.h"

#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>

#include "outlook_ids.h"
#include "scripted_outlook.h"
#include "text.h"

using namespace norvex;
using namespace norvex::fake_outlook;
using outlook::OutlookInterface;

namespace {

std::atomic<long> g_liveObjects{0};

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = ::GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
  return n > 0 && n < std::size(buffer) ? std::wstring(buffer, n) : std::wstring();
}

// The world, the member names handed out (a DISPID is the position plus one) and the log.
struct Server {
  std::recursive_mutex mutex;
  bool loaded = false;
  World world;
  std::vector<std::u16string> names;
  FILE* log = nullptr;

  HRESULT Load() {
    if (loaded) return S_OK;
    try {
      world = LoadWorld(Environment(L"NORVEX_FAKE_OUTLOOK_SCRIPT"));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "fake outlook: %s\n", e.what());
      return E_FAIL;
    }
    log = ::_wfopen(Environment(L"NORVEX_FAKE_OUTLOOK_LOG").c_str(), L"ab");
    if (!log) return E_FAIL;
    loaded = true;
    return S_OK;
  }
  void Write(const std::string& line) {
    std::fputs((line + "\n").c_str(), log);
    std::fflush(log);
  }
  DISPID Id(const std::u16string& name) {
    auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) found = names.insert(names.end(), name);
    return static_cast<DISPID>(found - names.begin()) + 1;
  }
};

Server& TheServer() {
  static Server server;
  return server;
}

bool IsMethod(Kind kind, const std::u16string& name) {
  static const std::map<Kind, std::vector<std::u16string>> methods = {
      {Kind::Application, {u"GetNamespace"}},
      {Kind::NameSpace, {u"GetDefaultFolder"}},
      {Kind::Items, {u"Sort", u"GetFirst", u"GetNext", u"Add"}},
      {Kind::Contact, {u"Save", u"Delete", u"Display", u"AddPicture"}},
      {Kind::Appointment, {u"Save", u"Delete", u"Display", u"GetRecurrencePattern", u"ClearRecurrencePattern"}},
      {Kind::DistList, {u"Save", u"Delete", u"Display"}},
      {Kind::Attachments, {u"Item"}},
      {Kind::Attachment, {u"SaveAsFile"}},
  };
  auto found = methods.find(kind);
  return found != methods.end() && std::count(found->second.begin(), found->second.end(), name) > 0;
}

// Names an object of the kind knows: its methods, and for items and recurrence any property.
bool Knows(Kind kind, const std::u16string& name) {
  static const std::map<Kind, std::vector<std::u16string>> properties = {
      {Kind::Folder, {u"Items"}}, {Kind::Items, {u"Count"}}, {Kind::Attachments, {u"Count"}},
      {Kind::Attachment, {u"FileName"}}};
  if (IsMethod(kind, name)) return true;
  if (kind == Kind::Contact || kind == Kind::Appointment || kind == Kind::DistList || kind == Kind::Recurrence)
    return true;
  auto found = properties.find(kind);
  return found != properties.end() && std::count(found->second.begin(), found->second.end(), name) > 0;
}

std::u16string Text(const VARIANT& v) { return std::u16string(win::U(v.bstrVal), ::SysStringLen(v.bstrVal)); }

// The order an Items collection hands out after Sort: by the property, items lacking it first.
bool Before(const Item& a, const Item& b, const std::u16string& key) {
  auto pa = a.properties.find(key), pb = b.properties.find(key);
  if (pb == b.properties.end()) return false;
  if (pa == a.properties.end()) return true;
  const VARIANT &va = **pa->second, &vb = **pb->second;
  if (va.vt == VT_BSTR && vb.vt == VT_BSTR) return Text(va) < Text(vb);
  outlook::Variant da, db;
  if (FAILED(::VariantChangeType(da.get(), const_cast<VARIANT*>(&va), 0, VT_R8)) ||
      FAILED(::VariantChangeType(db.get(), const_cast<VARIANT*>(&vb), 0, VT_R8)))
    return false;
  return da.get()->dblVal < db.get()->dblVal;
}

class Object final : public IDispatch {
 public:
  Object(Kind kind, std::shared_ptr<Folder> folder, std::shared_ptr<Item> item, std::shared_ptr<Attachment> attachment = {})
      : kind_(kind), folder_(std::move(folder)), item_(std::move(item)), attachment_(std::move(attachment)) {
    ++g_liveObjects;
  }
  ~Object() { --g_liveObjects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    bool isItemId = iid == outlook::InterfaceId(OutlookInterface::ContactItem) ||
                    iid == outlook::InterfaceId(OutlookInterface::AppointmentItem);
    if (isItemId && item_ && FAILED(item_->interfaceFailure)) return item_->interfaceFailure;
    if (iid == IID_IUnknown || iid == IID_IDispatch || (OwnId() && iid == *OwnId())) {
      AddRef();
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    Server& server = TheServer();
    std::lock_guard lock(server.mutex);
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      std::u16string name = win::ToU16(names[i]);
      server.Write(std::string("lookup|") + KindName(kind_) + "|" + text::ToUtf8(name));
      if (auto delay = server.world.lookupDelays.find(name); delay != server.world.lookupDelays.end())
        ::Sleep(static_cast<DWORD>(delay->second));
      bool known = Knows(kind_, name) || server.world.failures.count(name);
      ids[i] = known ? server.Id(name) : DISPID_UNKNOWN;
      if (!known) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    Server& server = TheServer();
    std::lock_guard lock(server.mutex);
    if (id < 1 || static_cast<size_t>(id) > server.names.size()) return DISP_E_MEMBERNOTFOUND;
    const std::u16string name = server.names[id - 1];
    std::vector<const VARIANT*> args;  // in the order written
    for (UINT i = params->cArgs; i > 0; --i) args.push_back(&params->rgvarg[i - 1]);
    std::string line = std::string("invoke|") + KindName(kind_) + "|" + text::ToUtf8(name) + "|" + std::to_string(flags);
    for (const VARIANT* arg : args) line.append("|").append(Render(*arg));
    for (UINT i = 0; i < params->cNamedArgs; ++i)
      line.append("|named:").append(std::to_string(params->rgdispidNamedArgs[i]));
    server.Write(line);

    if (auto failure = server.world.failures.find(name); failure != server.world.failures.end()) {
      if (!failure->second.throughException) return failure->second.code;
      if (exception) {
        *exception = {};
        exception->scode = failure->second.code;
        exception->bstrDescription = ::SysAllocString(L"scripted failure");
      }
      return DISP_E_EXCEPTION;
    }
    if (item_ && item_->deleted) return E_FAIL;
    if (IsMethod(kind_, name)) {
      if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      return Method(name, args, result);
    }
    if (flags & DISPATCH_PROPERTYPUT) {
      if (params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
      Properties* bag = Bag();
      if (!bag) return DISP_E_MEMBERNOTFOUND;
      (*bag)[name] = Hold(*args[0]);
      return S_OK;
    }
    if (!(flags & DISPATCH_PROPERTYGET) || !args.empty()) return DISP_E_MEMBERNOTFOUND;
    return Property(name, result);
  }

 private:
  const IID* OwnId() const {
    switch (kind_) {
      case Kind::Application: return &outlook::InterfaceId(OutlookInterface::Application);
      case Kind::NameSpace: return &outlook::InterfaceId(OutlookInterface::NameSpace);
      case Kind::Folder: return &outlook::InterfaceId(OutlookInterface::Folder);
      case Kind::Items: return &outlook::InterfaceId(OutlookInterface::Items);
      case Kind::Contact: return &outlook::InterfaceId(OutlookInterface::ContactItem);
      case Kind::Appointment: return &outlook::InterfaceId(OutlookInterface::AppointmentItem);
      case Kind::Attachments: return &outlook::InterfaceId(OutlookInterface::Attachments);
      case Kind::Attachment: return &outlook::InterfaceId(OutlookInterface::Attachment);
      case Kind::Recurrence: return &outlook::InterfaceId(OutlookInterface::RecurrencePattern);
      case Kind::DistList: break;
    }
    return nullptr;
  }

  Properties* Bag() {
    if (!item_) return nullptr;
    return kind_ == Kind::Recurrence ? &item_->recurrence : &item_->properties;
  }

  static HRESULT Hand(VARIANT* result, Object* object) {
    if (!result) {
      if (object) object->Release();
      return S_OK;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;  // the new object's first reference goes to the caller
    return S_OK;
  }
  static HRESULT Hand(VARIANT* result, const VARIANT& value) {
    return result ? ::VariantCopy(result, const_cast<VARIANT*>(&value)) : S_OK;
  }
  static HRESULT Number(VARIANT* result, size_t n) {
    if (result) {
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(n);
    }
    return S_OK;
  }
  Object* ItemObject(const std::shared_ptr<Item>& item) { return new Object(item->kind, nullptr, item); }

  HRESULT Property(const std::u16string& name, VARIANT* result) {
    if (kind_ == Kind::Folder && name == u"Items") return Hand(result, new Object(Kind::Items, folder_, nullptr));
    if ((kind_ == Kind::Items) && name == u"Count") return Number(result, folder_->items.size());
    if (kind_ == Kind::Attachments && name == u"Count") return Number(result, item_->attachments.size());
    if (kind_ == Kind::Attachment && name == u"FileName") {
      outlook::Variant v;
      v.get()->vt = VT_BSTR;
      v.get()->bstrVal = ::SysAllocStringLen(win::W(attachment_->fileName.data()),
                                             static_cast<UINT>(attachment_->fileName.size()));
      return Hand(result, *v);
    }
    if (kind_ == Kind::Contact && name == u"Attachments") return Hand(result, new Object(Kind::Attachments, nullptr, item_));
    Properties* bag = Bag();
    if (!bag) return DISP_E_MEMBERNOTFOUND;
    auto found = bag->find(name);
    if (found == bag->end()) return DISP_E_MEMBERNOTFOUND;
    return Hand(result, **found->second);
  }

  HRESULT Method(const std::u16string& name, const std::vector<const VARIANT*>& args, VARIANT* result) {
    auto argIs = [&](size_t i, VARTYPE vt) { return args.size() > i && args[i]->vt == vt; };
    World& world = TheServer().world;
    if (name == u"GetNamespace") {
      if (args.size() != 1 || !argIs(0, VT_BSTR)) return DISP_E_TYPEMISMATCH;
      if (Text(*args[0]) != u"MAPI") return E_INVALIDARG;
      return Hand(result, new Object(Kind::NameSpace, nullptr, nullptr));
    }
    if (name == u"GetDefaultFolder") {
      if (args.size() != 1 || !argIs(0, VT_I4)) return DISP_E_TYPEMISMATCH;
      for (auto& folder : world.folders)
        if (folder->number == args[0]->lVal) return Hand(result, new Object(Kind::Folder, folder, nullptr));
      return E_INVALIDARG;
    }
    if (name == u"Sort") {
      if (args.empty() || args.size() > 2 || !argIs(0, VT_BSTR) || (args.size() == 2 && !argIs(1, VT_BOOL)))
        return DISP_E_TYPEMISMATCH;
      sortKey_ = Text(*args[0]);
      descending_ = args.size() == 2 && args[1]->boolVal != VARIANT_FALSE;
      return S_OK;
    }
    if (name == u"GetFirst") {
      view_ = folder_->items;
      if (!sortKey_.empty()) {
        std::stable_sort(view_.begin(), view_.end(), [&](auto& a, auto& b) { return Before(*a, *b, sortKey_); });
        if (descending_) std::reverse(view_.begin(), view_.end());
      }
      position_ = 0;
      return Hand(result, view_.empty() ? nullptr : ItemObject(view_[0]));
    }
    if (name == u"GetNext") {
      if (position_ + 1 >= view_.size()) {
        position_ = view_.size();
        return Hand(result, nullptr);
      }
      return Hand(result, ItemObject(view_[++position_]));
    }
    if (name == u"Add") {
      if (args.size() > 1 || (args.size() == 1 && !(argIs(0, VT_ERROR) && args[0]->scode == DISP_E_PARAMNOTFOUND)))
        return DISP_E_TYPEMISMATCH;
      auto item = std::make_shared<Item>();
      item->kind = folder_->addKind;
      item->folder = folder_;
      return Hand(result, ItemObject(item));
    }
    if (name == u"Save") {
      auto folder = item_->folder.lock();
      if (folder && std::find(folder->items.begin(), folder->items.end(), item_) == folder->items.end())
        folder->items.push_back(item_);
      return S_OK;
    }
    if (name == u"Delete") {
      if (auto folder = item_->folder.lock()) std::erase(folder->items, item_);
      item_->deleted = true;
      return S_OK;
    }
    if (name == u"GetRecurrencePattern") return Hand(result, new Object(Kind::Recurrence, nullptr, item_));
    if (name == u"Item") {
      if (!argIs(0, VT_I4) || args.size() != 1) return DISP_E_TYPEMISMATCH;
      long index = args[0]->lVal;
      if (index < 1 || static_cast<size_t>(index) > item_->attachments.size()) return DISP_E_BADINDEX;
      return Hand(result, new Object(Kind::Attachment, nullptr, item_, item_->attachments[index - 1]));
    }
    if (name == u"SaveAsFile" || name == u"AddPicture") {
      if (args.size() != 1 || !argIs(0, VT_BSTR) || !args[0]->bstrVal) return DISP_E_TYPEMISMATCH;
      std::wstring path(args[0]->bstrVal, ::SysStringLen(args[0]->bstrVal));
      if (name == u"SaveAsFile") {
        std::ofstream out(path.c_str(), std::ios::binary);
        out << attachment_->content;
        return out ? S_OK : E_ACCESSDENIED;
      }
      std::ifstream in(path.c_str(), std::ios::binary);
      if (!in) return E_INVALIDARG;
      std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::erase_if(item_->attachments, [](auto& a) { return a->fileName == u"ContactPicture.jpg"; });
      item_->attachments.push_back(std::make_shared<Attachment>(Attachment{u"ContactPicture.jpg", content}));
      return S_OK;
    }
    return S_OK;  // Display and the like: nothing to play
  }

  Kind kind_;
  std::shared_ptr<Folder> folder_;
  std::shared_ptr<Item> item_;
  std::shared_ptr<Attachment> attachment_;
  std::atomic<ULONG> references_{1};
  // An Items collection's order after Sort and its GetFirst / GetNext position.
  std::u16string sortKey_;
  bool descending_ = false;
  std::vector<std::shared_ptr<Item>> view_;
  size_t position_ = 0;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the module
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Server& server = TheServer();
    std::lock_guard lock(server.mutex);
    if (HRESULT hr = server.Load(); FAILED(hr)) return hr;
    auto* application = new Object(Kind::Application, nullptr, nullptr);
    HRESULT hr = application->QueryInterface(iid, out);
    application->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  static Factory factory;
  *out = nullptr;
  if (clsid != outlook::kOutlookApplicationClass) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

// Stays loaded: the played folders and the log live as long as the process.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

// How many of the server's objects are still referenced, so a test can tell leaks and releases.
__declspec(dllexport) long FakeOutlookLiveObjects() { return g_liveObjects.load(); }

}  // extern "C"
