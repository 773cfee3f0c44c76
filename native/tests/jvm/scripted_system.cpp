// The host-side test build of norvextool works on a scripted system instead of Windows: a
// scripted device tree and a recording shell, which the JVM tests install through the test
// class norvex.jvmtest.ScriptedSystem. The entry points and the JNI code are the shipped ones;
// only this file stands in for win/system_ports.cpp.
#include <jni.h>

#include <mutex>
#include <stdexcept>

#include "scripted_device_tree.h"
#include "system_ports.h"

namespace norvex::native {

namespace {

struct HostScript {
  bool windows64 = false;
  std::optional<std::string> shellFolder, registryFolder;
  bool shellAccepts = true;
  std::string calls;  // one line per shell request: how|file|parameters|directory
};

std::mutex scriptMutex;
ScriptedDeviceTree scriptedTree{{}};
HostScript hostScript;

class ScriptedHostShell final : public HostShell {
 public:
  bool IsWindows64() override { return Locked().windows64; }
  bool Open(const ShellRequest& request) override { return Record("open", request); }
  bool OpenAndWait(const ShellRequest& request) override { return Record("wait", request); }
  std::optional<std::string> ShellLocalAppData() override { return Locked().shellFolder; }
  std::optional<std::string> RegistryLocalAppData() override { return Locked().registryFolder; }

 private:
  HostScript Locked() {
    const std::lock_guard lock(scriptMutex);
    return hostScript;
  }
  bool Record(const char* how, const ShellRequest& r) {
    const std::lock_guard lock(scriptMutex);
    hostScript.calls += std::string(how) + "|" + r.file + "|" + r.parameters.value_or("<none>") + "|" +
                        r.directory.value_or("<none>") + "\n";
    return hostScript.shellAccepts;
  }
};

std::optional<std::string> Bytes(JNIEnv* env, jbyteArray array) {
  if (!array) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(env->GetArrayLength(array)), '\0');
  env->GetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<jbyte*>(bytes.data()));
  return bytes;
}

}  // namespace

std::unique_ptr<const DeviceTree> SystemDeviceTree() {
  const std::lock_guard lock(scriptMutex);
  return std::make_unique<ScriptedDeviceTree>(scriptedTree);
}

std::unique_ptr<HostShell> SystemHostShell() { return std::make_unique<ScriptedHostShell>(); }

}  // namespace norvex::native

using namespace norvex::native;

extern "C" {

// A device script (see scripted_device_tree.h) in the bytes the platform would report; null
// installs a tree whose set cannot be opened.
JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedSystem_installTree(JNIEnv* env, jclass, jbyteArray script) {
  try {
    const std::optional<std::string> text = Bytes(env, script);
    ScriptedDeviceTree tree = text ? ScriptedDeviceTree::FromScript(*text) : ScriptedDeviceTree({}, false);
    const std::lock_guard lock(scriptMutex);
    scriptedTree = tree;
  } catch (const std::exception& e) {
    env->ThrowNew(env->FindClass("java/lang/IllegalArgumentException"), e.what());
  }
}

// Device sets of the installed tree opened and not yet released.
JNIEXPORT jint JNICALL Java_norvex_jvmtest_ScriptedSystem_openDeviceSets(JNIEnv*, jclass) {
  const std::lock_guard lock(scriptMutex);
  return scriptedTree.OpenSets();
}

// The shell's answers; a null folder is one the service cannot give. Clears the recorded calls.
JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedSystem_installHost(JNIEnv* env, jclass, jboolean windows64,
                                                                      jbyteArray shellFolder, jbyteArray registryFolder,
                                                                      jboolean shellAccepts) {
  HostScript script{windows64 != JNI_FALSE, Bytes(env, shellFolder), Bytes(env, registryFolder),
                    shellAccepts != JNI_FALSE, ""};
  const std::lock_guard lock(scriptMutex);
  hostScript = std::move(script);
}

// The shell requests recorded since the last call, as 8-bit text.
JNIEXPORT jbyteArray JNICALL Java_norvex_jvmtest_ScriptedSystem_takeShellCalls(JNIEnv* env, jclass) {
  std::string calls;
  {
    const std::lock_guard lock(scriptMutex);
    calls.swap(hostScript.calls);
  }
  jbyteArray array = env->NewByteArray(static_cast<jsize>(calls.size()));
  if (array)
    env->SetByteArrayRegion(array, 0, static_cast<jsize>(calls.size()), reinterpret_cast<const jbyte*>(calls.data()));
  return array;
}

}  // extern "C"
