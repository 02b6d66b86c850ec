// A program built with the program file's resources: each one is there, in
// the form Windows reads, and the tables carry exactly the bytes the
// portable builds embed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/win32/win32_modules.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/windows_gateway.h"
#include "resource_ids.h"
#include "support/embedded_resources.h"

namespace tolvaran {
namespace {

std::string_view resourceBytes(const wchar_t* type, int id) {
  const HMODULE self = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  const HGLOBAL loaded = ::LoadResource(self, found);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const char*>(data), ::SizeofResource(self, found)};
}

TEST(ResourceImageTest, TheTablesAreTheEmbeddedBytes) {
  for (const int id :
       {resource::kBrowserDatabase, resource::kLanguageRussian, resource::kLanguageEnglish,
        resource::kLanguageFrench, resource::kLanguageGerman}) {
    SCOPED_TRACE(id);
    const auto embedded = embeddedResource(id);
    ASSERT_FALSE(embedded.empty());
    const std::string_view stored = resourceBytes(L"CUSTOM", id);
    ASSERT_EQ(stored.size(), embedded.size());
    EXPECT_EQ(std::memcmp(stored.data(), embedded.data(), stored.size()), 0);
  }
}

TEST(ResourceImageTest, TheVersionIsTheBuilds) {
  platform::win32::Win32System system;
  platform::win32::Win32Modules modules;
  const auto self = system.moduleFileName();
  ASSERT_TRUE(self.ok());
  const auto version = modules.getFileVersion(self.value);
  ASSERT_TRUE(version.ok()) << version.code;
  const auto part = [](std::uint32_t word) { return std::to_string(word & 0xFFFF); };
  const std::string text =
      part(version.value.mostSignificant >> 16) + "." + part(version.value.mostSignificant) + "." +
      part(version.value.leastSignificant >> 16) + "." + part(version.value.leastSignificant);
  EXPECT_EQ(text, TOLVARAN_EXPECTED_VERSION);
}

TEST(ResourceImageTest, TheManifestAsksForWhatTheProgramNeeds) {
  const std::string_view manifest = resourceBytes(MAKEINTRESOURCEW(24), 1);
  ASSERT_FALSE(manifest.empty());
  for (const std::string_view wanted :
       {std::string_view("level=\"highestAvailable\""),
        std::string_view("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
        std::string_view("{e2011457-1546-43c5-a5fe-008deee3d3f0}"),  // Vista
        std::string_view("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"),  // 10
        std::string_view("PerMonitorV2"), std::string_view("<longPathAware"),
        std::string_view("true/pm")}) {
    EXPECT_NE(manifest.find(wanted), std::string_view::npos) << wanted;
  }
  // The system's own parser accepts it.
  ACTCTXW context{};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  context.hModule = ::GetModuleHandleW(nullptr);
  context.lpResourceName = MAKEINTRESOURCEW(1);
  wchar_t self[MAX_PATH + 1] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  context.lpSource = self;
  const HANDLE activation = ::CreateActCtxW(&context);
  ASSERT_NE(activation, INVALID_HANDLE_VALUE) << ::GetLastError();
  ::ReleaseActCtx(activation);
}

TEST(ResourceImageTest, TheIconAndTheBackgroundPicture) {
  const HMODULE self = ::GetModuleHandleW(nullptr);
  for (const int size : {16, 32, 48, 256}) {
    const HANDLE icon =
        ::LoadImageW(self, MAKEINTRESOURCEW(TOLVARAN_ICON_APP), IMAGE_ICON, size, size, 0);
    EXPECT_NE(icon, nullptr) << size;
    if (icon) ::DestroyIcon(static_cast<HICON>(icon));
  }
  const HANDLE picture = ::LoadImageW(self, MAKEINTRESOURCEW(TOLVARAN_BITMAP_BACKGROUND),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(picture, nullptr);
  BITMAP bitmap{};
  ASSERT_NE(::GetObjectW(picture, sizeof(bitmap), &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, 762);
  EXPECT_EQ(bitmap.bmHeight, 245);
  ::DeleteObject(picture);
}

}  // namespace
}  // namespace tolvaran
