#include "contract/contract_fixture.h"

#include <array>

#include "platform/scoped_file.h"
#include "support/text.h"

namespace tolvaran::contract {

std::string implementationName(const ::testing::TestParamInfo<Implementation>& info) {
  return info.param.name;
}

void PrintTo(const Implementation& implementation, std::ostream* out) {
  *out << implementation.name;
}

std::string narrow(std::u16string_view text) { return utf16ToUtf8(text); }

void ContractTest::start(const Implementation& implementation) {
  machine_ = implementation.make();
  auto temp = system().getTempPath();
  ASSERT_TRUE(temp.ok()) << "GetTempPath: " << temp.code;
  ASSERT_FALSE(temp.value.empty());
  if (temp.value.back() != u'\\') temp.value.push_back(u'\\');
  // A folder left by an earlier, aborted run is skipped, never reused.
  const std::u16string stamp = toDecimal(static_cast<std::int64_t>(clock().monotonicMilliseconds()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::u16string candidate =
        temp.value + u"tolvaran-contract-" + stamp + u"-" + toDecimal(attempt);
    const auto created = files().createDirectory(candidate);
    if (created.ok()) {
      scratch_ = std::move(candidate);
      return;
    }
    ASSERT_EQ(created.code, platform::kErrorAlreadyExists) << narrow(candidate);
  }
  FAIL() << "no free scratch folder name under " << narrow(temp.value);
}

void ContractTest::TearDown() {
  if (machine_ && !scratch_.empty()) {
    removeTree(scratch_, 0);
    EXPECT_EQ(files().getFileAttributes(scratch_).code, platform::kErrorFileNotFound)
        << "scratch folder left behind: " << narrow(scratch_);
  }
  machine_.reset();
}

void ContractTest::removeTree(const std::u16string& folder, int depth) {
  if (depth > 16) return;
  auto found = files().findFirstFile(folder + u"\\*");
  if (found.ok()) {
    std::vector<platform::FindData> entries{found.value.data};
    for (;;) {
      auto next = files().findNextFile(found.value.handle);
      if (!next.ok()) break;
      entries.push_back(std::move(next.value));
    }
    (void)files().findClose(found.value.handle);
    for (const auto& entry : entries) {
      if (entry.name == u"." || entry.name == u"..") continue;
      const std::u16string path = folder + u"\\" + entry.name;
      (void)files().setFileAttributes(path, platform::attr::kNormal);
      if (entry.attributes & platform::attr::kDirectory) {
        removeTree(path, depth + 1);
      } else {
        (void)files().deleteFile(path);
      }
    }
  }
  (void)files().setFileAttributes(folder, platform::attr::kNormal);
  (void)files().removeDirectory(folder);
}

std::u16string ContractTest::at(std::u16string_view relative) const {
  return scratch_ + u"\\" + std::u16string(relative);
}

void ContractTest::makeFolder(std::u16string_view relative) {
  const auto created = files().createDirectory(at(relative));
  ASSERT_TRUE(created.ok()) << narrow(relative) << ": " << created.code;
}

void ContractTest::makeFile(std::u16string_view relative, std::string_view contents) {
  const auto opened = files().createFile(at(relative), platform::access::kGenericWrite,
                                         platform::share::kNone,
                                         platform::Disposition::kCreateNew);
  ASSERT_TRUE(opened.ok()) << narrow(relative) << ": " << opened.code;
  platform::ScopedFile file(files(), opened.value);
  const auto written = files().writeFile(file.get(), std::as_bytes(std::span(contents)));
  ASSERT_TRUE(written.ok()) << written.code;
  ASSERT_EQ(written.value, contents.size());
}

std::string ContractTest::readAll(std::u16string_view path) {
  platform::Win32Code code = 0;
  auto file = platform::ScopedFile::openForReading(files(), path, &code);
  EXPECT_TRUE(file.valid()) << narrow(path) << ": " << code;
  std::string bytes;
  std::array<std::byte, 4096> buffer{};
  while (file.valid()) {
    const auto read = files().readFile(file.get(), buffer);
    EXPECT_TRUE(read.ok()) << read.code;
    if (!read.ok() || read.value == 0) break;
    bytes.append(reinterpret_cast<const char*>(buffer.data()), read.value);
  }
  return bytes;
}

}  // namespace tolvaran::contract
