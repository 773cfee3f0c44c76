// JNI field access, the host list, and the host's error report.
#include "jni_record.h"

#include <string>

namespace norvex::outlook {

namespace {

constexpr const char* kStringSignature = "Ljava/lang/String;";

const jchar* Chars(std::u16string_view text) { return reinterpret_cast<const jchar*>(text.data()); }

}  // namespace

jfieldID FieldIds::Find(JNIEnv* env, jclass type, const char* name, const char* signature) {
  const auto key = std::make_pair(name, signature);
  const auto found = ids_.find(key);
  if (found != ids_.end()) return found->second;
  const jfieldID id = env->GetFieldID(type, name, signature);
  if (!id) env->ExceptionClear();  // the NoSuchFieldError of a field the class lacks
  ids_.emplace(key, id);
  return id;
}

JniRecord::JniRecord(JNIEnv* env, jobject object)
    : env_(env),
      owned_(env, nullptr),
      object_(object),
      class_(env, object ? env->GetObjectClass(object) : nullptr),
      ids_(ownIds_) {}

JniRecord::JniRecord(JNIEnv* env, LocalRef<jobject> owned, FieldIds& ids)
    : env_(env),
      owned_(std::move(owned)),
      object_(owned_.get()),
      class_(env, env->GetObjectClass(object_)),
      ids_(ids) {}

jfieldID JniRecord::Field(const char* name, const char* signature) {
  return class_ ? ids_.Find(env_, class_.get(), name, signature) : nullptr;
}

void JniRecord::SetString(const char* name, std::u16string_view value) {
  const jfieldID id = Field(name, kStringSignature);
  if (!id) return;
  const LocalRef<jstring> string(env_, env_->NewString(Chars(value), static_cast<jsize>(value.size())));
  if (!string) {
    env_->ExceptionClear();  // out of memory for this one text: the field keeps its value
    return;
  }
  env_->SetObjectField(object_, id, string.get());
}

void JniRecord::SetDouble(const char* name, double value) {
  if (const jfieldID id = Field(name, "D")) env_->SetDoubleField(object_, id, value);
}

void JniRecord::SetLong(const char* name, int64_t value) {
  if (const jfieldID id = Field(name, "J")) env_->SetLongField(object_, id, static_cast<jlong>(value));
}

void JniRecord::SetInt(const char* name, int32_t value) {
  if (const jfieldID id = Field(name, "I")) env_->SetIntField(object_, id, value);
}

void JniRecord::SetBoolean(const char* name, bool value) {
  if (const jfieldID id = Field(name, "Z")) env_->SetBooleanField(object_, id, value ? JNI_TRUE : JNI_FALSE);
}

std::optional<std::u16string> JniRecord::GetString(const char* name) {
  const jfieldID id = Field(name, kStringSignature);
  if (!id) return std::nullopt;
  const LocalRef<jstring> string(env_, static_cast<jstring>(env_->GetObjectField(object_, id)));
  return HostText(env_, string.get());
}

double JniRecord::GetDouble(const char* name) { return Value(name, "D", &JNIEnv::GetDoubleField); }

int64_t JniRecord::GetLong(const char* name) { return Value(name, "J", &JNIEnv::GetLongField); }

int32_t JniRecord::GetInt(const char* name) { return Value(name, "I", &JNIEnv::GetIntField); }

uint8_t JniRecord::GetBoolean(const char* name) { return Value(name, "Z", &JNIEnv::GetBooleanField); }

std::optional<std::u16string> HostText(JNIEnv* env, jstring string) {
  if (!string) return std::nullopt;
  const jsize length = env->GetStringLength(string);
  const jchar* chars = env->GetStringChars(string, nullptr);
  if (!chars) return std::nullopt;
  std::u16string text(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length));
  env->ReleaseStringChars(string, chars);
  return text;
}

JniRecordList::Class JniRecordList::FindHostClass(JNIEnv* env, const char* name) {
  LocalRef<jclass> type(env, env->FindClass(name));
  if (!type) throw HostCallFailed();
  const jmethodID constructor = env->GetMethodID(type.get(), "<init>", "()V");
  if (!constructor) throw HostCallFailed();
  return {std::move(type), constructor};
}

JniRecordList::JniRecordList(JNIEnv* env, const char* recordClass)
    : env_(env),
      arrayList_(FindHostClass(env, "java/util/ArrayList")),
      add_(env->GetMethodID(arrayList_.type.get(), "add", "(Ljava/lang/Object;)Z")),
      list_(env, add_ ? env->NewObject(arrayList_.type.get(), arrayList_.constructor) : nullptr),
      record_(list_ ? FindHostClass(env, recordClass) : throw HostCallFailed()) {}

std::unique_ptr<HostRecord> JniRecordList::NewRecord() {
  LocalRef<jobject> object(env_, env_->NewObject(record_.type.get(), record_.constructor));
  if (!object) throw HostCallFailed();
  return std::make_unique<JniRecord>(env_, std::move(object), ids_);
}

void JniRecordList::Append(HostRecord& record) {
  env_->CallBooleanMethod(list_.get(), add_, static_cast<JniRecord&>(record).object());
  if (env_->ExceptionCheck()) throw HostCallFailed();
}

void ThrowHostError(JNIEnv* env, std::string_view text) {
  const LocalRef<jclass> runtime(env, env->FindClass("java/lang/RuntimeException"));
  if (runtime) env->ThrowNew(runtime.get(), std::string(text).c_str());
}

}  // namespace norvex::outlook
