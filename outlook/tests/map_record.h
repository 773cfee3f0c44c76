// A host record for unit tests: declared fields of the five types held in a map, in place of
// a Java object. Fields the record does not declare behave as a class that lacks them.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>

#include "read_all.h"
#include "record_mapping.h"

namespace norvex::outlook {

class MapRecord final : public HostRecord {
 public:
  struct Field {
    FieldType type = FieldType::String;
    std::optional<std::u16string> text;  // null until set, as a Java String field
    double number = 0;                   // D
    int64_t integer = 0;                 // J and I
    uint8_t boolean = 0;                 // Z
    int sets = 0;
  };

  MapRecord() = default;
  explicit MapRecord(std::span<const FieldRow> rows) {
    for (const FieldRow& row : rows) Declare(row.field, row.type);
  }
  Field& Declare(const std::string& name, FieldType type) {
    Field field;
    field.type = type;
    return fields_[name] = field;
  }
  Field* Find(const std::string& name) {
    const auto found = fields_.find(name);
    return found == fields_.end() ? nullptr : &found->second;
  }
  Field& At(const std::string& name) { return fields_.at(name); }

  void SetString(const char* name, std::u16string_view value) override {
    if (Field* f = Typed(name, FieldType::String)) f->text = std::u16string(value), ++f->sets;
  }
  void SetDouble(const char* name, double value) override {
    if (Field* f = Typed(name, FieldType::Double)) f->number = value, ++f->sets;
  }
  void SetLong(const char* name, int64_t value) override {
    if (Field* f = Typed(name, FieldType::Long)) f->integer = value, ++f->sets;
  }
  void SetInt(const char* name, int32_t value) override {
    if (Field* f = Typed(name, FieldType::Int)) f->integer = value, ++f->sets;
  }
  void SetBoolean(const char* name, bool value) override {
    if (Field* f = Typed(name, FieldType::Boolean)) f->boolean = value ? 1 : 0, ++f->sets;
  }
  std::optional<std::u16string> GetString(const char* name) override {
    const Field* f = Typed(name, FieldType::String);
    return f ? f->text : std::nullopt;
  }
  double GetDouble(const char* name) override {
    const Field* f = Typed(name, FieldType::Double);
    return f ? f->number : 0.0;
  }
  int64_t GetLong(const char* name) override {
    const Field* f = Typed(name, FieldType::Long);
    return f ? f->integer : 0;
  }
  int32_t GetInt(const char* name) override {
    const Field* f = Typed(name, FieldType::Int);
    return f ? static_cast<int32_t>(f->integer) : 0;
  }
  uint8_t GetBoolean(const char* name) override {
    const Field* f = Typed(name, FieldType::Boolean);
    return f ? f->boolean : 0;
  }

 private:
  // A field of another signature is as absent as a missing one, as for GetFieldID.
  Field* Typed(const char* name, FieldType type) {
    Field* f = Find(name);
    return f && f->type == type ? f : nullptr;
  }
  std::map<std::string, Field> fields_;
};

// A host list of MapRecords made from one set of declared fields.
class MapRecordList final : public RecordList {
 public:
  explicit MapRecordList(std::span<const FieldRow> rows) : rows_(rows) {}
  std::unique_ptr<HostRecord> NewRecord() override {
    ++created;
    return std::make_unique<MapRecord>(rows_);
  }
  void Append(HostRecord& record) override { records.push_back(static_cast<MapRecord&>(record)); }

  std::vector<MapRecord> records;
  int created = 0;

 private:
  std::span<const FieldRow> rows_;
};

}  // namespace norvex::outlook
