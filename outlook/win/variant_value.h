// Values crossing IDispatch: an owned VARIANT, the argument an OutlookValue becomes, and the
// value a result becomes once coerced to the kind the caller asked for.
#pragma once

#include "win/windows_api.h"

#include <oaidl.h>

#include "outlook_store.h"

namespace norvex::outlook {

// One VARIANT, cleared (its BSTR freed, its object released) when it goes.
class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  ~Variant() { ::VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

// Fills an empty VARIANT. Empty text travels as a null BSTR, which Outlook takes as empty; an
// Object value travels as `object`, the IDispatch behind it. Throws OutlookCallError
// (E_OUTOFMEMORY) when the BSTR cannot be made.
void ToVariant(const OutlookValue& value, IDispatch* object, VARIANT& out);

// The VARIANT coerced to Text, Date, Long or Flag (VariantChangeType); a BSTR keeps its full
// length, NULs included. Throws OutlookCallError with the coercion's code when it fails.
OutlookValue FromVariant(VARIANT& value, ValueKind kind);

// The IDispatch a result holds (VT_DISPATCH, or anything that coerces to it), with its own
// reference; null for an empty or null result. Throws when it cannot be coerced.
IDispatch* DispatchOf(VARIANT& value);

}  // namespace norvex::outlook
