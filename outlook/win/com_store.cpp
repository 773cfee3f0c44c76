// The IDispatch store: every object is held as the interface of its kind, member ids are
// looked up once per kind and name, and every failed call becomes an OutlookCallError.
#include "com_store.h"

#include "win/windows_api.h"

#include <objbase.h>
#include <ole2.h>

#include <map>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "outlook_ids.h"
#include "variant_value.h"
#include "win/handles.h"

// <windows.h> renames GetObject to GDI's GetObjectW; the store's member keeps its own name.
#undef GetObject

namespace norvex::outlook {
namespace {

using win::com_ptr;

static_assert(CLSCTX_ALL == 23, "in-process server and handler, local and remote server");

[[noreturn]] void Fail(HRESULT hr) { throw OutlookCallError(static_cast<int32_t>(hr)); }
void Check(HRESULT hr) {
  if (FAILED(hr)) Fail(hr);
}

class ComObject final : public OutlookObject {
 public:
  ComObject(OutlookInterface kind, com_ptr<IDispatch> dispatch) : kind_(kind), dispatch_(std::move(dispatch)) {}
  OutlookInterface Interface() const override { return kind_; }
  // Null once abandoned.
  IDispatch* dispatch() const { return dispatch_.get(); }
  void Abandon() { dispatch_.detach(); }

 private:
  OutlookInterface kind_;
  com_ptr<IDispatch> dispatch_;
};

OutlookRef MakeRef(OutlookInterface kind, com_ptr<IDispatch> dispatch) {
  try {
    return std::make_shared<ComObject>(kind, std::move(dispatch));
  } catch (const std::bad_alloc&) {
    Fail(E_OUTOFMEMORY);
  }
}

// The COM object behind a reference; a required reference that is empty (or abandoned, or
// not one of ours) fails with E_POINTER.
IDispatch* Required(const OutlookRef& object) {
  auto* com = dynamic_cast<const ComObject*>(object.get());
  if (!com || !com->dispatch()) Fail(E_POINTER);
  return com->dispatch();
}

// The object seen through the interface of `kind`; an Item stays the IDispatch it came as.
OutlookRef Seen(IDispatch* dispatch, OutlookInterface kind) {
  com_ptr<IDispatch> held;
  if (kind == OutlookInterface::Item) {
    held = com_ptr<IDispatch>(dispatch, true);
  } else {
    Check(dispatch->QueryInterface(InterfaceId(kind), held.put_void()));
    if (!held) Fail(E_POINTER);
  }
  return MakeRef(kind, std::move(held));
}

// Arguments in DISPPARAMS order: IDispatch takes them last first.
class Arguments {
 public:
  explicit Arguments(const std::vector<OutlookValue>& values) : variants_(values.size()) {
    for (auto& v : variants_) ::VariantInit(&v);
    try {
      for (size_t i = 0; i < values.size(); ++i) {
        const OutlookValue& value = values[values.size() - 1 - i];
        IDispatch* object = value.kind == ValueKind::Object && value.object ? Required(value.object) : nullptr;
        ToVariant(value, object, variants_[i]);
      }
    } catch (...) {
      Clear();  // the arguments made before the failing one
      throw;
    }
  }
  ~Arguments() { Clear(); }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  VARIANT* data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT size() const { return static_cast<UINT>(variants_.size()); }

 private:
  void Clear() {
    for (auto& v : variants_) ::VariantClear(&v);
  }
  std::vector<VARIANT> variants_;
};

// The code a failed Invoke stands for: the object's own error when it reported one.
HRESULT InvokeFailure(HRESULT hr, EXCEPINFO& info) {
  if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  win::unique_bstr source(info.bstrSource), description(info.bstrDescription), help(info.bstrHelpFile);
  if (hr == DISP_E_EXCEPTION && FAILED(info.scode)) return info.scode;
  return hr;
}

class ComStore final : public OutlookStore {
 public:
  // The result of CoInitialize is no error for the caller, but it decides the matching
  // leave: a thread the host had already put in the multithreaded apartment refuses
  // (RPC_E_CHANGED_MODE), and uninitialising it then would tear down the host's COM. A
  // leave undoes the thread's latest enter; one without an enter has nothing to undo.
  void EnterApartment() override { entered_.push_back(SUCCEEDED(::CoInitialize(nullptr))); }
  void LeaveApartment() override {
    if (entered_.empty()) return;
    bool initialised = entered_.back();
    entered_.pop_back();
    if (initialised) ::CoUninitialize();
  }

  OutlookRef CreateApplication() override {
    com_ptr<IUnknown> unknown;
    Check(::CoCreateInstance(kOutlookApplicationClass, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.put_void()));
    Check(::OleRun(unknown.get()));
    com_ptr<IDispatch> application;
    Check(unknown->QueryInterface(InterfaceId(OutlookInterface::Application), application.put_void()));
    if (!application) Fail(E_POINTER);
    return MakeRef(OutlookInterface::Application, std::move(application));
  }

  OutlookRef Convert(const OutlookRef& object, OutlookInterface to) override {
    if (!object) return {};
    com_ptr<IDispatch> converted;
    HRESULT hr = Required(object)->QueryInterface(InterfaceId(to), converted.put_void());
    if (hr == E_NOINTERFACE) return {};
    Check(hr);
    if (!converted) return {};
    return MakeRef(to, std::move(converted));
  }

  OutlookValue Get(const OutlookRef& object, std::u16string_view property, ValueKind kind) override {
    Variant result;
    Invoke(object, property, DISPATCH_PROPERTYGET, {}, result.get());
    return FromVariant(*result.get(), kind);
  }

  OutlookRef GetObject(const OutlookRef& object, std::u16string_view property, OutlookInterface as) override {
    Variant result;
    Invoke(object, property, DISPATCH_PROPERTYGET, {}, result.get());
    return ObjectResult(*result.get(), as);
  }

  void Put(const OutlookRef& object, std::u16string_view property, const OutlookValue& value) override {
    Invoke(object, property, DISPATCH_PROPERTYPUT, {value}, nullptr);
  }

  void Call(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args) override {
    Variant result;
    Invoke(object, method, DISPATCH_METHOD, args, result.get());
  }

  OutlookRef CallObject(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args,
                        OutlookInterface as) override {
    Variant result;
    Invoke(object, method, DISPATCH_METHOD, args, result.get());
    return ObjectResult(*result.get(), as);
  }

  void Abandon(OutlookRef& object) override {
    if (auto* com = dynamic_cast<ComObject*>(object.get())) com->Abandon();
    object.reset();
  }

 private:
  static OutlookRef ObjectResult(VARIANT& result, OutlookInterface as) {
    com_ptr<IDispatch> dispatch(DispatchOf(result));
    if (!dispatch) return {};
    return Seen(dispatch.get(), as);
  }

  // Looked up on the first use by any object of the kind; the lock keeps it to one lookup
  // when threads race for the same name.
  DISPID MemberId(OutlookInterface kind, IDispatch* dispatch, std::u16string_view name) {
    std::lock_guard lock(mutex_);
    auto key = std::make_pair(kind, std::u16string(name));
    if (auto found = ids_.find(key); found != ids_.end()) return found->second;
    auto* names = const_cast<LPOLESTR>(win::W(key.second.c_str()));
    DISPID id = DISPID_UNKNOWN;
    Check(dispatch->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id));
    ids_.emplace(std::move(key), id);
    return id;
  }

  void Invoke(const OutlookRef& object, std::u16string_view name, WORD flags, const std::vector<OutlookValue>& args,
              VARIANT* result) {
    IDispatch* dispatch = Required(object);
    DISPID id = MemberId(object->Interface(), dispatch, name);
    Arguments arguments(args);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{arguments.data(), nullptr, arguments.size(), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT badArgument = 0;
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &badArgument);
    if (FAILED(hr)) Fail(InvokeFailure(hr, info));
  }

  std::mutex mutex_;
  std::map<std::pair<OutlookInterface, std::u16string>, DISPID> ids_;
  // Per thread, for each EnterApartment not yet left: whether its CoInitialize succeeded.
  static thread_local std::vector<bool> entered_;
};

thread_local std::vector<bool> ComStore::entered_;

}  // namespace

std::unique_ptr<OutlookStore> MakeComStore() { return std::make_unique<ComStore>(); }

}  // namespace norvex::outlook
