// Conversions between OutlookValue and VARIANT for the IDispatch store.
#include "variant_value.h"

#include <oleauto.h>

namespace norvex::outlook {
namespace {

void Check(HRESULT hr) {
  if (FAILED(hr)) throw OutlookCallError(static_cast<int32_t>(hr));
}

VARTYPE TypeOf(ValueKind kind) {
  switch (kind) {
    case ValueKind::Text: return VT_BSTR;
    case ValueKind::Date: return VT_DATE;
    case ValueKind::Long: return VT_I4;
    case ValueKind::Flag: return VT_BOOL;
    case ValueKind::Missing:
    case ValueKind::Object: break;
  }
  throw OutlookCallError(static_cast<int32_t>(E_INVALIDARG));
}

}  // namespace

void ToVariant(const OutlookValue& value, IDispatch* object, VARIANT& out) {
  switch (value.kind) {
    case ValueKind::Missing:
      out.vt = VT_ERROR;
      out.scode = DISP_E_PARAMNOTFOUND;
      return;
    case ValueKind::Text:
      out.vt = VT_BSTR;
      out.bstrVal = nullptr;
      if (!value.text.empty()) {
        out.bstrVal = ::SysAllocStringLen(win::W(value.text.data()), static_cast<UINT>(value.text.size()));
        if (!out.bstrVal) throw OutlookCallError(kOutOfMemory);
      }
      return;
    case ValueKind::Date:
      out.vt = VT_DATE;
      out.date = value.date;
      return;
    case ValueKind::Long:
      out.vt = VT_I4;
      out.lVal = value.number;
      return;
    case ValueKind::Flag:
      out.vt = VT_BOOL;
      out.boolVal = value.flag;
      return;
    case ValueKind::Object:
      break;
  }
  // The VARIANT holds a reference of its own, released when it is cleared.
  if (object) object->AddRef();
  out.vt = VT_DISPATCH;
  out.pdispVal = object;
}

OutlookValue FromVariant(VARIANT& value, ValueKind kind) {
  Variant coerced;
  Check(::VariantChangeType(coerced.get(), &value, 0, TypeOf(kind)));
  const VARIANT& v = *coerced;
  switch (kind) {
    case ValueKind::Text: {
      const auto* chars = win::U(v.bstrVal);
      return OutlookValue::Text(chars ? std::u16string(chars, ::SysStringLen(v.bstrVal)) : std::u16string());
    }
    case ValueKind::Date: return OutlookValue::Date(v.date);
    case ValueKind::Long: return OutlookValue::Long(v.lVal);
    default: return OutlookValue::Flag(v.boolVal);
  }
}

IDispatch* DispatchOf(VARIANT& value) {
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) return nullptr;
  Variant coerced;
  Check(::VariantChangeType(coerced.get(), &value, 0, VT_DISPATCH));
  IDispatch* dispatch = coerced.get()->pdispVal;
  if (dispatch) dispatch->AddRef();
  return dispatch;
}

}  // namespace norvex::outlook
