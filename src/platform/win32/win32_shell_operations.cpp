#include "platform/win32/win32_shell_operations.h"

#include "platform/win32/windows_gateway.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace tolvaran::platform::win32 {
namespace {

// A single-threaded apartment for one shell call. When the thread already
// has one, the call only adds a reference; a thread in the multithreaded
// apartment keeps it (the call fails with RPC_E_CHANGED_MODE and nothing
// is undone).
class ComApartment {
 public:
  ComApartment()
      : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

// A list for the shell: ended by two NULs whatever the caller wrote.
std::wstring nameList(std::u16string_view list) {
  std::wstring out = toWide(list);
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

const wchar_t* orNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

ShellFileOperationResult Win32ShellOperations::fileOperation(const ShellFileOperation& operation) {
  const ComApartment apartment;
  const std::wstring from = nameList(operation.from);
  const std::wstring to = operation.to.empty() ? std::wstring() : nameList(operation.to);
  SHFILEOPSTRUCTW request{};
  request.hwnd = nullptr;
  request.wFunc = operation.function;
  request.pFrom = from.c_str();
  request.pTo = orNull(to);
  request.fFlags = operation.flags;
  const int result = ::SHFileOperationW(&request);
  return ShellFileOperationResult{result, request.fAnyOperationsAborted != FALSE};
}

void Win32ShellOperations::changeNotify(std::int32_t event, std::uint32_t flags,
                                        std::u16string_view path, std::u16string_view secondPath) {
  const std::wstring first = toWide(path);
  const std::wstring second = toWide(secondPath);
  ::SHChangeNotify(event, flags, path.empty() ? nullptr : first.c_str(),
                   secondPath.empty() ? nullptr : second.c_str());
}

Status Win32ShellOperations::shellExecuteEx(const ShellExecuteRequest& request) {
  const ComApartment apartment;
  const std::wstring verb = toWide(request.verb);
  const std::wstring file = toWide(request.file);
  const std::wstring parameters = toWide(request.parameters);
  const std::wstring directory = toWide(request.directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = request.mask;
  info.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.window));
  info.lpVerb = orNull(verb);
  info.lpFile = file.c_str();
  info.lpParameters = orNull(parameters);
  info.lpDirectory = orNull(directory);
  info.nShow = request.show;
  if (!::ShellExecuteExW(&info)) {
    const DWORD code = ::GetLastError();
    return {code != ERROR_SUCCESS ? code : static_cast<Win32Code>(ERROR_INVALID_FUNCTION)};
  }
  return {};
}

Result<std::vector<std::u16string>> Win32ShellOperations::commandLineToArgv(
    std::u16string_view line) {
  const std::wstring text = toWide(line);
  int count = 0;
  wchar_t** tokens = ::CommandLineToArgvW(text.c_str(), &count);
  if (!tokens) {
    const DWORD code = ::GetLastError();
    return {{}, code != ERROR_SUCCESS ? code : static_cast<Win32Code>(ERROR_INVALID_PARAMETER)};
  }
  Result<std::vector<std::u16string>> result;
  for (int i = 0; i < count; ++i) result.value.push_back(fromWide(tokens[i]));
  ::LocalFree(tokens);
  return result;
}

}  // namespace tolvaran::platform::win32
