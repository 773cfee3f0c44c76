// What the bridge asks of Outlook, by Outlook's own member names: creating the application,
// converting an object to one of Outlook's interfaces, getting and putting properties and
// calling methods. The session, the record mappings and the item search are written against
// this port only; on Windows it is Outlook's automation (IDispatch), in tests a scripted store.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norvex::outlook {

// Result codes the bridge produces or tells apart itself (HRESULT values).
inline constexpr int32_t kNullReference = static_cast<int32_t>(0x80004003);  // E_POINTER
inline constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000E);    // E_OUTOFMEMORY

// Every failed Outlook or COM call raises this, carrying the failing result code. It never
// leaves the library: each entry point and each record reader or writer catches it.
class OutlookCallError : public std::exception {
 public:
  explicit OutlookCallError(int32_t code) : code_(code) {}
  int32_t code() const { return code_; }
  const char* what() const noexcept override { return "Outlook call failed"; }

 private:
  int32_t code_;
};

// The interfaces an object is used through. `Item` is an item as a collection hands it out,
// before it is converted to the contact or appointment kind.
enum class OutlookInterface {
  Application,
  NameSpace,
  Folder,
  Items,
  Item,
  ContactItem,
  AppointmentItem,
  Attachments,
  Attachment,
  RecurrencePattern,
};

// A counted reference to one Outlook object. Copies share it; the last copy releases it.
class OutlookObject {
 public:
  virtual ~OutlookObject() = default;
  virtual OutlookInterface Interface() const = 0;
};
using OutlookRef = std::shared_ptr<OutlookObject>;

// The kinds of value a property or an argument carries.
enum class ValueKind {
  Missing,  // an optional argument left out (VT_ERROR, DISP_E_PARAMNOTFOUND)
  Text,     // BSTR; may hold NULs as Outlook gave them; empty for a null BSTR
  Date,     // DATE: OLE Automation date, days since 30 December 1899
  Long,     // 32-bit signed long, also Outlook's enumerations (VT_I4)
  Flag,     // VARIANT_BOOL: -1 true, 0 false; any other value is carried unchanged
  Object,   // an object reference (VT_DISPATCH)
};

inline constexpr int16_t kFlagTrue = -1;  // VARIANT_TRUE

struct OutlookValue {
  ValueKind kind = ValueKind::Missing;
  std::u16string text;
  double date = 0;
  int32_t number = 0;
  int16_t flag = 0;
  OutlookRef object;

  static OutlookValue MissingArgument() { return {}; }
  // A value of the kind that carries nothing: empty text, zero, false, no object.
  static OutlookValue Neutral(ValueKind kind) {
    OutlookValue v;
    v.kind = kind;
    return v;
  }
  static OutlookValue Text(std::u16string value) {
    OutlookValue v = Neutral(ValueKind::Text);
    v.text = std::move(value);
    return v;
  }
  static OutlookValue Date(double value) {
    OutlookValue v = Neutral(ValueKind::Date);
    v.date = value;
    return v;
  }
  static OutlookValue Long(int32_t value) {
    OutlookValue v = Neutral(ValueKind::Long);
    v.number = value;
    return v;
  }
  static OutlookValue Flag(int16_t value) {
    OutlookValue v = Neutral(ValueKind::Flag);
    v.flag = value;
    return v;
  }
  static OutlookValue Object(OutlookRef value) {
    OutlookValue v = Neutral(ValueKind::Object);
    v.object = std::move(value);
    return v;
  }
};

class OutlookStore {
 public:
  virtual ~OutlookStore() = default;

  // COM on the calling thread, apartment-threaded (CoInitialize / CoUninitialize).
  virtual void EnterApartment() = 0;
  virtual void LeaveApartment() = 0;

  // Outlook.Application created (all contexts, IUnknown), run, and asked for _Application.
  // Throws OutlookCallError when any of the three steps fails.
  virtual OutlookRef CreateApplication() = 0;

  // The object seen through another interface (QueryInterface). An object of another kind
  // gives an empty reference; any other failure throws. An empty `object` gives empty.
  virtual OutlookRef Convert(const OutlookRef& object, OutlookInterface to) = 0;

  // Property get, the value coerced to `kind` (not Object, not Missing). Throws on failure;
  // an empty `object` throws with kNullReference.
  virtual OutlookValue Get(const OutlookRef& object, std::u16string_view property, ValueKind kind) = 0;
  // Property get of an object, seen through `as`; a null object yields an empty reference.
  virtual OutlookRef GetObject(const OutlookRef& object, std::u16string_view property, OutlookInterface as) = 0;
  // Property put (DISPATCH_PROPERTYPUT with the named argument DISPID_PROPERTYPUT).
  virtual void Put(const OutlookRef& object, std::u16string_view property, const OutlookValue& value) = 0;

  // Method call with positional arguments in the order written; the result is ignored.
  virtual void Call(const OutlookRef& object, std::u16string_view method, const std::vector<OutlookValue>& args) = 0;
  // Method call whose result is an object, seen through `as`; a null result is an empty reference.
  virtual OutlookRef CallObject(const OutlookRef& object, std::u16string_view method,
                                const std::vector<OutlookValue>& args, OutlookInterface as) = 0;

  // Lets go of a reference without calling the object: for a reference whose apartment is
  // gone, where a Release would touch a dead object. `object` is empty afterwards.
  virtual void Abandon(OutlookRef& object) = 0;
};

}  // namespace norvex::outlook
