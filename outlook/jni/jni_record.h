// Host records and the host list in a real JVM: field access by name through JNI, and the
// "java/util/ArrayList" a read fills. Every local reference made here is let go of as soon as
// its field or item is done, so a folder of any size fits the JVM's local frame.
#pragma once

#include <jni.h>

#include <map>
#include <stdexcept>
#include <utility>

#include "local_ref.h"
#include "read_all.h"

namespace norvex::outlook {

using native::LocalRef;

// A JNI call failed and left its exception pending in the host.
class HostCallFailed : public std::runtime_error {
 public:
  HostCallFailed() : std::runtime_error("JNI call failed") {}
};

// Field ids of one record class, found once per read instead of once per record: a read of
// a large folder spends most of its JNI time otherwise in the same hundred lookups.
class FieldIds {
 public:
  // Null for a field the class lacks.
  jfieldID Find(JNIEnv* env, jclass type, const char* name, const char* signature);

 private:
  std::map<std::pair<const char*, const char*>, jfieldID> ids_;  // names and signatures are literals
};

class JniRecord final : public HostRecord {
 public:
  // A record the host passed in: borrowed, not released here.
  JniRecord(JNIEnv* env, jobject object);
  // A record made by the library: owned and released with this; its class's ids in `ids`.
  JniRecord(JNIEnv* env, LocalRef<jobject> owned, FieldIds& ids);

  jobject object() const { return object_; }

  void SetString(const char* name, std::u16string_view value) override;
  void SetDouble(const char* name, double value) override;
  void SetLong(const char* name, int64_t value) override;
  void SetInt(const char* name, int32_t value) override;
  void SetBoolean(const char* name, bool value) override;
  std::optional<std::u16string> GetString(const char* name) override;
  double GetDouble(const char* name) override;
  int64_t GetLong(const char* name) override;
  int32_t GetInt(const char* name) override;
  uint8_t GetBoolean(const char* name) override;

 private:
  // Null for a field the class lacks; the lookup's NoSuchFieldError is cleared.
  jfieldID Field(const char* name, const char* signature);
  // A primitive field's value; zero for a field the class lacks.
  template <typename T>
  T Value(const char* name, const char* signature, T (JNIEnv::*get)(jobject, jfieldID)) {
    const jfieldID id = Field(name, signature);
    return id ? (env_->*get)(object_, id) : T{};
  }

  JNIEnv* env_;
  LocalRef<jobject> owned_;
  jobject object_;
  LocalRef<jclass> class_;
  FieldIds ownIds_;
  FieldIds& ids_;
};

class JniRecordList final : public RecordList {
 public:
  // Throws HostCallFailed when the list or the record class cannot be had.
  JniRecordList(JNIEnv* env, const char* recordClass);

  std::unique_ptr<HostRecord> NewRecord() override;
  void Append(HostRecord& record) override;
  // The list for the host; this keeps no reference to it afterwards.
  jobject Release() { return list_.release(); }

 private:
  struct Class {
    LocalRef<jclass> type;
    jmethodID constructor;
  };
  static Class FindHostClass(JNIEnv* env, const char* name);

  JNIEnv* env_;
  Class arrayList_;
  jmethodID add_;
  LocalRef<jobject> list_;
  Class record_;
  FieldIds ids_;
};

// The host's fixed-text failure report: a pending java.lang.RuntimeException.
void ThrowHostError(JNIEnv* env, std::string_view text);

// A host string as UTF-16; nullopt for null, or when its characters cannot be had.
std::optional<std::u16string> HostText(JNIEnv* env, jstring string);

}  // namespace norvex::outlook
