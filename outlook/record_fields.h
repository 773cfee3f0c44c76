// A host record (a contact or an appointment object of the Java host) as the mappings see it:
// typed fields looked up by name. The JNI layer implements it over a real object; unit tests
// use a map. A field the record does not have is skipped on a set and neutral on a get.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norvex::outlook {

// The five field signatures the records use.
enum class FieldType {
  String,   // "Ljava/lang/String;"
  Double,   // "D": an OLE Automation date
  Long,     // "J"
  Int,      // "I"
  Boolean,  // "Z"
};

class RecordFields {
 public:
  virtual ~RecordFields() = default;

  virtual void SetString(const char* name, std::u16string_view value) = 0;
  virtual void SetDouble(const char* name, double value) = 0;
  virtual void SetLong(const char* name, int64_t value) = 0;
  virtual void SetInt(const char* name, int32_t value) = 0;
  virtual void SetBoolean(const char* name, bool value) = 0;

  // The whole string as the host holds it; nullopt for a null reference or a missing field.
  virtual std::optional<std::u16string> GetString(const char* name) = 0;
  virtual double GetDouble(const char* name) = 0;
  virtual int64_t GetLong(const char* name) = 0;
  virtual int32_t GetInt(const char* name) = 0;
  // The raw jboolean byte: the host may hold values other than 0 and 1.
  virtual uint8_t GetBoolean(const char* name) = 0;
};

}  // namespace norvex::outlook
