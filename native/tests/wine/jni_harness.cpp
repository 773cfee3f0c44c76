// Calls the exported entry points of a norvextool.dll under Wine, where no JVM runs, through a
// JNIEnv of its own that implements just the JNI functions the library may use (any other
// call ends the run with exit code 3). It keeps objects in memory, counts live local
// references (printing the peak), and raises NoSuchFieldError-like failures for unknown names.
//   norvextool_harness DLL list all|unavailable|usb|unavailable-usb
//   norvextool_harness DLL available PREFIX|-null
//   norvextool_harness DLL shell wait|nowait FILE|-null PARAMETERS|-null DIRECTORY|-null
//   norvextool_harness DLL x64|folder|usbdetector
// Texts are printed as UTF-8; "-null" passes a null string.
#include <fcntl.h>
#include <io.h>
#include <jni.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "win/windows_api.h"

namespace {

struct Object {
  std::u16string text;         // a string's characters
  std::vector<Object*> slots;  // an array's elements, or a device's four fields
  bool isClass = false;
};

std::deque<Object> heap;
int liveRefs = 0, peakRefs = 0;
bool pending = false;
const char* const kFields[] = {"id", "name", "psn", "available"};
const char* const kDeviceClass = "com/norvex/zuradu/util/NativeHelper$NativeDevice";
char constructorTag;

template <typename T>
T NewRef(Object object) {
  heap.push_back(std::move(object));
  peakRefs = std::max(peakRefs, ++liveRefs);
  return reinterpret_cast<T>(&heap.back());
}
Object* Of(jobject ref) { return reinterpret_cast<Object*>(ref); }

void Unexpected() {
  std::fputs("unexpected JNI function called\n", stdout);
  std::fflush(stdout);
  ::ExitProcess(3);
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  if (std::strcmp(name, kDeviceClass) != 0) {
    pending = true;
    return nullptr;
  }
  Object cls;
  cls.isClass = true;
  return NewRef<jclass>(cls);
}
jmethodID JNICALL GetMethodID(JNIEnv*, jclass, const char* name, const char* sig) {
  if (std::strcmp(name, "<init>") == 0 && std::strcmp(sig, "()V") == 0)
    return reinterpret_cast<jmethodID>(&constructorTag);
  pending = true;
  return nullptr;
}
jfieldID JNICALL GetFieldID(JNIEnv*, jclass, const char* name, const char* sig) {
  for (const char* const& field : kFields) {
    if (std::strcmp(field, name) == 0 && std::strcmp(sig, "Ljava/lang/String;") == 0) {
      return reinterpret_cast<jfieldID>(const_cast<char**>(&field));
    }
  }
  pending = true;
  return nullptr;
}
jobject JNICALL NewObjectV(JNIEnv*, jclass, jmethodID, va_list) { return NewRef<jobject>(Object{u"", {4, nullptr}}); }
jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass, jobject initial) {
  return NewRef<jobjectArray>(Object{u"", std::vector<Object*>(static_cast<std::size_t>(length), Of(initial))});
}
void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
  Of(array)->slots.at(static_cast<std::size_t>(index)) = Of(value);
}
void JNICALL SetObjectField(JNIEnv*, jobject object, jfieldID field, jobject value) {
  Of(object)->slots.at(static_cast<std::size_t>(reinterpret_cast<const char* const*>(field) - kFields)) = Of(value);
}
jstring JNICALL NewString(JNIEnv*, const jchar* chars, jsize length) {
  return NewRef<jstring>(
      Object{std::u16string(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length)), {}});
}
jstring JNICALL NewStringUTF(JNIEnv*, const char* utf8) {
  const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (units < 1) Unexpected();  // the real JVM would not take such bytes either
  std::u16string text(static_cast<std::size_t>(units), u'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, norvex::win::W(text.data()), units);
  text.pop_back();
  return NewRef<jstring>(Object{text, {}});
}
jsize JNICALL GetStringLength(JNIEnv*, jstring s) { return static_cast<jsize>(Of(s)->text.size()); }
const jchar* JNICALL GetStringChars(JNIEnv*, jstring s, jboolean* copy) {
  if (copy) *copy = JNI_FALSE;
  return reinterpret_cast<const jchar*>(Of(s)->text.c_str());
}
void JNICALL ReleaseStringChars(JNIEnv*, jstring, const jchar*) {}
void JNICALL DeleteLocalRef(JNIEnv*, jobject ref) {
  if (ref) --liveRefs;
}
jboolean JNICALL ExceptionCheck(JNIEnv*) { return pending ? JNI_TRUE : JNI_FALSE; }

JNINativeInterface_ MakeFunctions() {
  JNINativeInterface_ table;
  void* slots[sizeof table / sizeof(void*)];
  for (void*& slot : slots) slot = reinterpret_cast<void*>(&Unexpected);
  std::memcpy(&table, slots, sizeof table);
  table.FindClass = FindClass;
  table.GetMethodID = GetMethodID;
  table.GetFieldID = GetFieldID;
  table.NewObjectV = NewObjectV;
  table.NewObjectArray = NewObjectArray;
  table.SetObjectArrayElement = SetObjectArrayElement;
  table.SetObjectField = SetObjectField;
  table.NewString = NewString;
  table.NewStringUTF = NewStringUTF;
  table.GetStringLength = GetStringLength;
  table.GetStringChars = GetStringChars;
  table.ReleaseStringChars = ReleaseStringChars;
  table.DeleteLocalRef = DeleteLocalRef;
  table.ExceptionCheck = ExceptionCheck;
  return table;
}

std::string Utf8(const Object* s) {
  if (!s) return "<null>";
  const std::u16string& t = s->text;
  std::string out(t.size() * 3, '\0');
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, norvex::win::W(t.c_str()), static_cast<int>(t.size()), out.data(),
                                      static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

jstring Argument(const wchar_t* arg) {
  if (std::wcscmp(arg, L"-null") == 0) return nullptr;
  return NewRef<jstring>(Object{norvex::win::U(arg), {}});
}

template <typename F>
F Entry(HMODULE dll, const char* method) {
  const std::string name = std::string("Java_com_norvex_zuradu_util_NativeHelper_") + method;
  FARPROC found = ::GetProcAddress(dll, name.c_str());
  if (!found) {
    std::printf("no export %s\n", name.c_str());
    ::ExitProcess(2);
  }
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(found));
}

using ListFn = jobjectArray(JNICALL*)(JNIEnv*, jobject);
using AvailableFn = jboolean(JNICALL*)(JNIEnv*, jobject, jstring);
using ShellFn = jboolean(JNICALL*)(JNIEnv*, jobject, jstring, jstring, jstring, jboolean);
using FlagFn = jboolean(JNICALL*)(JNIEnv*, jobject);
using FolderFn = jstring(JNICALL*)(JNIEnv*, jobject);
using VoidFn = void(JNICALL*)(JNIEnv*, jobject);

const char* Bool(jboolean b) { return b ? "true" : "false"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) return 2;
  HMODULE dll = ::LoadLibraryW(argv[1]);
  if (!dll) {
    std::printf("cannot load the library: %lu\n", ::GetLastError());
    return 2;
  }
  const JNINativeInterface_ functions = MakeFunctions();
  JNIEnv_ env{&functions};
  Object hostClass;
  hostClass.isClass = true;
  const jobject self = reinterpret_cast<jobject>(&hostClass);
  const std::wstring command = argv[2];

  if (command == L"list" && argc == 4) {
    const std::wstring which = argv[3];
    const char* method = which == L"all"           ? "getAllDevices"
                         : which == L"unavailable" ? "getUnavailableDevices"
                         : which == L"usb"         ? "getUsbDevices"
                                                   : "getUnavailableUsbDevices";
    Object* array = Of(Entry<ListFn>(dll, method)(&env, self));
    if (!array) {
      std::printf("null\n");
    } else {
      for (const Object* d : array->slots) {
        std::printf("%s|%s|%s|%s\n", Utf8(d->slots[0]).c_str(), Utf8(d->slots[1]).c_str(), Utf8(d->slots[2]).c_str(),
                    Utf8(d->slots[3]).c_str());
      }
    }
  } else if (command == L"available" && argc == 4) {
    std::printf("%s\n", Bool(Entry<AvailableFn>(dll, "isDeviceAvailable")(&env, self, Argument(argv[3]))));
  } else if (command == L"shell" && argc == 7) {
    const jboolean wait = std::wcscmp(argv[3], L"wait") == 0 ? JNI_TRUE : JNI_FALSE;
    std::printf("%s\n", Bool(Entry<ShellFn>(dll, "shellExecute")(&env, self, Argument(argv[4]), Argument(argv[5]),
                                                                 Argument(argv[6]), wait)));
  } else if (command == L"x64") {
    std::printf("%s\n", Bool(Entry<FlagFn>(dll, "isX64")(&env, self)));
  } else if (command == L"folder") {
    std::printf("%s\n", Utf8(Of(Entry<FolderFn>(dll, "getCurrentLocalAppFolder")(&env, self))).c_str());
  } else if (command == L"usbdetector") {
    Entry<VoidFn>(dll, "installUsbDetector")(&env, self);
    std::printf("done\n");
  } else {
    return 2;
  }
  // The most local references alive at once, the harness's own string arguments included.
  std::printf("peak local references: %d\n", peakRefs);
  if (pending) std::printf("exception pending\n");
  return 0;
}
