// Stands in for the program a user's system opens a file type with: made the
// "open" command of an extension, it appends the arguments the shell started
// it with to a file, one a line in UTF-8, for the test to read. A GUI
// program, so that being started by the shell opens no console window.
// usage: record_open register .EXT OUTPUT    opens .EXT files from now on
//        record_open record OUTPUT ARGS...   what the shell then runs
#include "platform/win32/windows_gateway.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "support/text.h"

using namespace tolvaran;
using platform::win32::fromWide;

namespace {

constexpr wchar_t kProgId[] = L"TolvaranTest.RecordOpen";

bool setDefaultValue(const std::wstring& key, const std::wstring& value, REGSAM view) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS set =
      RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
  return set == ERROR_SUCCESS;
}

int registerOpener(const std::wstring& extension, const std::wstring& output) {
  wchar_t self[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return 1;
  const std::wstring command = L"\"" + std::wstring(self) + L"\" record \"" + output + L"\" \"%1\"";
  // The shell reads the registry view of the program's bitness; both are
  // written, so one tool serves a 32-bit and a 64-bit program alike.
  for (REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
    if (!setDefaultValue(extension, kProgId, view) ||
        !setDefaultValue(std::wstring(kProgId) + L"\\shell\\open\\command", command, view))
      return 1;
  }
  return 0;
}

int record(const wchar_t* output, const std::vector<std::u16string>& arguments) {
  std::string lines;
  for (const std::u16string& argument : arguments) lines += utf16ToUtf8(argument) + "\n";
  HANDLE file = CreateFileW(output, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const bool whole =
      WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) &&
      written == lines.size();
  CloseHandle(file);
  return whole ? 0 : 1;
}

}  // namespace

int main() {
  // The wide command line: the shell may hand over any Unicode path.
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv || count < 3) return 100;
  const std::wstring verb = argv[1];
  int code = 100;
  if (verb == L"register" && count == 4) {
    code = registerOpener(argv[2], argv[3]);
  } else if (verb == L"record") {
    std::vector<std::u16string> arguments;
    for (int i = 3; i < count; ++i) arguments.push_back(fromWide(argv[i]));
    code = record(argv[2], arguments);
  }
  LocalFree(argv);
  return code;
}
