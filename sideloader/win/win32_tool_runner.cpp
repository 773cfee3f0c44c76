// The pipe is made inheritable, but its read end is taken out of inheritance and the child is
// given an explicit list holding only the write end: a process that another thread starts with
// inheritance on meanwhile cannot keep the write end open and stall the read to end of stream.
// The parent closes its write end right after the start and reads until the pipe breaks.
#include "win/win32_tool_runner.h"

#include <vector>

#include "win/handles.h"
#include "win/windows_api.h"

namespace norvex::sideloader::win {
namespace {

using norvex::win::unique_handle;
using norvex::win::unique_process_information;
using norvex::win::W;

// CreateProcessW may write into the command line, so it gets its own copy.
std::vector<wchar_t> Writable(const std::u16string& commandLine) {
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  return buffer;
}

class AttributeList {
 public:
  explicit AttributeList(HANDLE* inherit) {
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    ok_ = ::InitializeProcThreadAttributeList(list_, 1, 0, &size) &&
          ::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherit, sizeof(HANDLE), nullptr,
                                      nullptr);
  }
  ~AttributeList() {
    if (list_ != nullptr) ::DeleteProcThreadAttributeList(list_);
  }
  AttributeList(const AttributeList&) = delete;
  AttributeList& operator=(const AttributeList&) = delete;
  bool ok() const { return ok_; }
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

 private:
  std::vector<unsigned char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  bool ok_ = false;
};

}  // namespace

CapturedBytes Win32ToolRunner::Capture(const std::u16string& tool, const std::u16string& commandLine,
                                       std::size_t chunkBytes, unsigned pauseMs) {
  CapturedBytes result;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  unique_handle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) {
    result.status = RunStatus::NoPipe;
    return result;
  }
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  HANDLE inherit = writeEnd.get();
  AttributeList attributes(&inherit);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdOutput = writeEnd.get();
  startup.StartupInfo.hStdError = writeEnd.get();
  DWORD flags = 0;
  if (attributes.ok()) {
    startup.lpAttributeList = attributes.get();
    flags = EXTENDED_STARTUPINFO_PRESENT;
  }
  std::vector<wchar_t> line = Writable(commandLine);
  unique_process_information process;
  const BOOL started = ::CreateProcessW(W(tool), line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                        &startup.StartupInfo, process.put());
  writeEnd.reset();
  if (!started) {
    result.status = RunStatus::NotStarted;
    return result;
  }
  process.adopt();
  std::vector<char> chunk(chunkBytes > 0 ? chunkBytes : 1);
  DWORD got = 0;
  while (::ReadFile(readEnd.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0) {
    result.bytes.append(chunk.data(), got);
    if (pauseMs > 0) ::Sleep(pauseMs);
  }
  result.status = RunStatus::Finished;
  return result;
}

bool Win32ToolRunner::StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  std::vector<wchar_t> line = Writable(commandLine);
  unique_process_information process;
  if (!::CreateProcessW(W(tool), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process.put())) {
    return false;
  }
  process.adopt();
  ::WaitForSingleObject(process.process(), waitMs);
  return true;
}

}  // namespace norvex::sideloader::win
