#include "platform/win32/win32_shell_link.h"

#include "platform/win32/windows_gateway.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win32_com.h"

namespace tolvaran::platform::win32 {
namespace {

// The buffer a text getter fills: `bufferChars` NULs (at least one, so that
// a size of 0 still has somewhere to point).
struct TextBuffer {
  explicit TextBuffer(std::int32_t bufferChars)
      : chars(bufferChars > 0 ? bufferChars : 0),
        data(static_cast<std::size_t>(std::max(bufferChars, 1)), L'\0') {}
  [[nodiscard]] std::u16string text() const {
    const auto end = std::find(data.begin(), data.end(), L'\0');
    return fromWide(data.data(), static_cast<std::size_t>(end - data.begin()));
  }
  int chars;
  std::vector<wchar_t> data;
};

class Win32ShellLink final : public ShellLink {
 public:
  Win32ShellLink(ComPtr<IPersistFile> file, ComPtr<IShellLinkW> link)
      : file_(std::move(file)), link_(std::move(link)) {}

  ComStatus load(std::u16string_view path, std::uint32_t mode) override {
    return {static_cast<HResult>(file_->Load(toWide(path).c_str(), mode))};
  }
  ComStatus save(std::u16string_view path, bool remember) override {
    return {static_cast<HResult>(file_->Save(toWide(path).c_str(), remember ? TRUE : FALSE))};
  }
  ComStatus saveCompleted(std::u16string_view path) override {
    return {static_cast<HResult>(file_->SaveCompleted(toWide(path).c_str()))};
  }

  ComResult<std::u16string> getPath(std::int32_t bufferChars, std::uint32_t flags) override {
    TextBuffer buffer(bufferChars);
    WIN32_FIND_DATAW found{};
    const HRESULT hr = link_->GetPath(buffer.data.data(), buffer.chars, &found, flags);
    return {buffer.text(), static_cast<HResult>(hr)};
  }
  ComResult<std::u16string> getArguments(std::int32_t bufferChars) override {
    TextBuffer buffer(bufferChars);
    const HRESULT hr = link_->GetArguments(buffer.data.data(), buffer.chars);
    return {buffer.text(), static_cast<HResult>(hr)};
  }
  ComResult<std::u16string> getDescription(std::int32_t bufferChars) override {
    TextBuffer buffer(bufferChars);
    const HRESULT hr = link_->GetDescription(buffer.data.data(), buffer.chars);
    return {buffer.text(), static_cast<HResult>(hr)};
  }
  ComResult<std::uint16_t> getHotkey() override {
    WORD hotkey = 0;
    const HRESULT hr = link_->GetHotkey(&hotkey);
    return {hotkey, static_cast<HResult>(hr)};
  }
  ComResult<IconLocation> getIconLocation(std::int32_t bufferChars) override {
    TextBuffer buffer(bufferChars);
    int index = 0;
    const HRESULT hr = link_->GetIconLocation(buffer.data.data(), buffer.chars, &index);
    return {{buffer.text(), index}, static_cast<HResult>(hr)};
  }
  ComResult<std::int32_t> getShowCmd() override {
    int show = 0;
    const HRESULT hr = link_->GetShowCmd(&show);
    return {show, static_cast<HResult>(hr)};
  }
  ComResult<std::u16string> getWorkingDirectory(std::int32_t bufferChars) override {
    TextBuffer buffer(bufferChars);
    const HRESULT hr = link_->GetWorkingDirectory(buffer.data.data(), buffer.chars);
    return {buffer.text(), static_cast<HResult>(hr)};
  }

  ComStatus setPath(std::u16string_view path) override {
    return {static_cast<HResult>(link_->SetPath(toWide(path).c_str()))};
  }
  ComStatus setArguments(std::u16string_view arguments) override {
    return {static_cast<HResult>(link_->SetArguments(toWide(arguments).c_str()))};
  }
  ComStatus setWorkingDirectory(std::u16string_view folder) override {
    return {static_cast<HResult>(link_->SetWorkingDirectory(toWide(folder).c_str()))};
  }
  ComStatus setIconLocation(std::u16string_view path, std::int32_t index) override {
    return {static_cast<HResult>(link_->SetIconLocation(toWide(path).c_str(), index))};
  }
  ComStatus setShowCmd(std::int32_t showCmd) override {
    return {static_cast<HResult>(link_->SetShowCmd(showCmd))};
  }
  ComStatus setHotkey(std::uint16_t hotkey) override {
    return {static_cast<HResult>(link_->SetHotkey(hotkey))};
  }
  ComStatus setDescription(std::u16string_view description) override {
    return {static_cast<HResult>(link_->SetDescription(toWide(description).c_str()))};
  }

 private:
  // Declared first: COM stays initialised until both interfaces are released.
  ComApartment apartment_;
  ComPtr<IPersistFile> file_;
  ComPtr<IShellLinkW> link_;
};

}  // namespace

ComResult<std::unique_ptr<ShellLink>> Win32ShellLinks::createShellLink() {
  // The apartment must outlive the interfaces: hold one across the
  // creation, the object then holds its own.
  ComApartment apartment;
  ComPtr<IUnknown> object;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  object.out());
  if (FAILED(hr)) return {nullptr, static_cast<HResult>(hr)};
  ComPtr<IPersistFile> file;
  hr = object->QueryInterface(IID_IPersistFile, file.out());
  if (FAILED(hr)) return {nullptr, static_cast<HResult>(hr)};
  ComPtr<IShellLinkW> link;
  hr = object->QueryInterface(IID_IShellLinkW, link.out());
  if (FAILED(hr)) return {nullptr, static_cast<HResult>(hr)};
  return {std::make_unique<Win32ShellLink>(std::move(file), std::move(link)), kHresultOk};
}

}  // namespace tolvaran::platform::win32
