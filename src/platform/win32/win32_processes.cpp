#include "platform/win32/win32_processes.h"

#include "platform/win32/windows_gateway.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

HANDLE toHandle(KernelHandle handle) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

KernelHandle fromHandle(HANDLE handle) {
  return static_cast<KernelHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

using ModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, wchar_t*, DWORD);
using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

constexpr ULONG kSystemProcessInformation = 5;
constexpr std::uint32_t kStatusNotImplemented = 0xC0000002u;

// The head of SYSTEM_PROCESS_INFORMATION: the same offsets in 32- and 64-bit
// processes as the kernel's own structure (the image name at 0x38).
struct CountedText {
  USHORT length;  // bytes
  USHORT maximumLength;
  wchar_t* buffer;
};
struct ProcessRecordHead {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  BYTE reserved[48];
  CountedText imageName;
  LONG basePriority;
  HANDLE uniqueProcessId;
};
static_assert(offsetof(ProcessRecordHead, imageName) == 0x38);

// The records the kernel wrote into `bytes`, each read within the buffer:
// a name pointing elsewhere stays empty, an offset past the end stops the walk.
std::vector<SystemProcessRecord> readRecords(const unsigned char* bytes, std::size_t size) {
  std::vector<SystemProcessRecord> records;
  std::size_t offset = 0;
  while (size >= sizeof(ProcessRecordHead) && offset <= size - sizeof(ProcessRecordHead)) {
    ProcessRecordHead head;
    std::memcpy(&head, bytes + offset, sizeof head);
    SystemProcessRecord record;
    record.processId =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(head.uniqueProcessId));
    record.threads = head.numberOfThreads;
    record.basePriority = head.basePriority;
    const auto name = reinterpret_cast<std::uintptr_t>(head.imageName.buffer);
    const auto start = reinterpret_cast<std::uintptr_t>(bytes);
    if (name >= start && name - start <= size && head.imageName.length <= size - (name - start)) {
      std::vector<wchar_t> text(head.imageName.length / sizeof(wchar_t));
      std::memcpy(text.data(), bytes + (name - start), text.size() * sizeof(wchar_t));
      record.imageName = fromWide(text.data(), text.size());
    }
    records.push_back(std::move(record));
    if (head.nextEntryOffset == 0 || head.nextEntryOffset > size - offset) break;
    offset += head.nextEntryOffset;
  }
  return records;
}

}  // namespace

Win32Processes::Win32Processes() = default;

Win32Processes::~Win32Processes() {
  if (psapi_) ::FreeLibrary(static_cast<HMODULE>(psapi_));
}

Result<ProcessInformation> Win32Processes::createProcess(std::u16string_view commandLine,
                                                         std::uint32_t creationFlags,
                                                         std::u16string_view currentDirectory,
                                                         std::uint16_t showWindow) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoW(&startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showWindow;
  // CreateProcessW may write into the command line: it gets its own copy.
  std::wstring line = toWide(commandLine);
  std::vector<wchar_t> writable(line.c_str(), line.c_str() + line.size() + 1);
  const std::wstring directory = toWide(currentDirectory);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    return {{}, lastErrorOr(ERROR_INVALID_PARAMETER)};
  }
  return {ProcessInformation{fromHandle(info.hProcess), fromHandle(info.hThread), info.dwProcessId,
                             info.dwThreadId},
          kErrorSuccess};
}

Result<std::uint32_t> Win32Processes::waitForSingleObject(KernelHandle handle,
                                                          std::uint32_t milliseconds) {
  const DWORD result = ::WaitForSingleObject(toHandle(handle), milliseconds);
  if (result == WAIT_FAILED) return {result, lastErrorOr(ERROR_INVALID_HANDLE)};
  return {result, kErrorSuccess};
}

Result<std::uint32_t> Win32Processes::getExitCodeProcess(KernelHandle process) {
  DWORD code = 0;
  if (!::GetExitCodeProcess(toHandle(process), &code)) {
    return {0, lastErrorOr(ERROR_INVALID_HANDLE)};
  }
  return {code, kErrorSuccess};
}

Status Win32Processes::terminateProcess(KernelHandle process, std::uint32_t exitCode) {
  if (!::TerminateProcess(toHandle(process), exitCode)) {
    return {lastErrorOr(ERROR_INVALID_HANDLE)};
  }
  return {};
}

Result<KernelHandle> Win32Processes::openProcess(std::uint32_t desiredAccess,
                                                 std::uint32_t processId) {
  const HANDLE process = ::OpenProcess(desiredAccess, FALSE, processId);
  if (!process) return {kNoHandle, lastErrorOr(ERROR_INVALID_PARAMETER)};
  return {fromHandle(process), kErrorSuccess};
}

Status Win32Processes::closeHandle(KernelHandle handle) {
  if (!::CloseHandle(toHandle(handle))) return {lastErrorOr(ERROR_INVALID_HANDLE)};
  return {};
}

std::uint32_t Win32Processes::currentProcessId() {
  return ::GetCurrentProcessId();
}

Result<std::uint32_t> Win32Processes::getWindowThreadProcessId(WindowHandle window) {
  DWORD processId = 0;
  const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
  if (::GetWindowThreadProcessId(hwnd, &processId) == 0) {
    return {0, lastErrorOr(ERROR_INVALID_WINDOW_HANDLE)};
  }
  return {processId, kErrorSuccess};
}

Result<std::u16string> Win32Processes::getModuleFileNameEx(KernelHandle process,
                                                           std::uint32_t bufferChars) {
  auto call = systemFunction<ModuleFileNameExFn>(L"kernel32.dll", "K32GetModuleFileNameExW");
  if (!call) {
    if (!psapi_) {
      Win32Code code = kErrorSuccess;
      psapi_ = loadSystemLibrary(L"psapi.dll", code).release();
      if (!psapi_) return {{}, code};
    }
    call = moduleFunction<ModuleFileNameExFn>(static_cast<HMODULE>(psapi_), "GetModuleFileNameExW");
    if (!call) return {{}, ERROR_CALL_NOT_IMPLEMENTED};
  }
  std::vector<wchar_t> buffer(std::max<std::uint32_t>(bufferChars, 1));
  const DWORD length = call(toHandle(process), nullptr, buffer.data(), bufferChars);
  if (length == 0) return {{}, lastErrorOr(ERROR_INVALID_HANDLE)};
  // A path that does not fit comes back cut, NUL-terminated, and its length
  // is then given as the buffer's.
  const std::size_t copied = std::min<std::size_t>(length, bufferChars);
  const std::size_t text = std::find(buffer.data(), buffer.data() + copied, L'\0') - buffer.data();
  return {fromWide(buffer.data(), text), kErrorSuccess};
}

Result<std::vector<ProcessEntry>> Win32Processes::snapshotProcesses() {
  const ScopedFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return {{}, lastErrorOr(ERROR_INVALID_HANDLE)};
  Result<std::vector<ProcessEntry>> result;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    const std::size_t nameLength =
        std::find(std::begin(entry.szExeFile), std::end(entry.szExeFile), L'\0') -
        std::begin(entry.szExeFile);
    result.value.push_back(ProcessEntry{entry.th32ProcessID, entry.cntThreads,
                                        entry.th32ParentProcessID, entry.pcPriClassBase,
                                        fromWide(entry.szExeFile, nameLength)});
  }
  const DWORD end = ::GetLastError();
  if (end != ERROR_NO_MORE_FILES && result.value.empty()) result.code = end;
  return result;
}

SystemProcessQuery Win32Processes::querySystemProcessInformation(std::uint32_t bufferBytes) {
  SystemProcessQuery query;
  const auto call =
      systemFunction<NtQuerySystemInformationFn>(L"ntdll.dll", "NtQuerySystemInformation");
  if (!call) {
    query.status = kStatusNotImplemented;
    return query;
  }
  // Eight-byte units keep the records as aligned as the kernel wants them.
  std::vector<std::uint64_t> buffer(std::max<std::size_t>((bufferBytes + 7u) / 8u, 1));
  ULONG returned = 0;
  query.status = static_cast<std::uint32_t>(
      call(kSystemProcessInformation, buffer.data(), bufferBytes, &returned));
  query.returnLength = returned;
  if (query.status == kStatusSuccess) {
    query.records = readRecords(reinterpret_cast<const unsigned char*>(buffer.data()),
                                std::min<std::size_t>(bufferBytes, buffer.size() * 8u));
  }
  return query;
}

}  // namespace tolvaran::platform::win32
