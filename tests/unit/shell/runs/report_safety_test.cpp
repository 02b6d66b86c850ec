// Faults on the file calls of a window run that cures one hijacked shortcut:
// the report's folders, file, body and seal, and the backup beside it. After
// every run, either the shortcut is as it was, or the change is in a sealed
// report (checked by a CRC-32 computed bit by bit here, not by the
// program's table) and in a backup that holds the shortcut's bytes and
// attributes from before the run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "runs_rig.h"

namespace tolvaran::runs_test {
namespace {

using platform::sim::FileOp;

constexpr std::u16string_view kChrome = u"C:\\Users\\User\\Desktop\\Google Chrome.lnk";

// CRC-32 (IEEE 802.3, reflected), one bit at a time.
std::uint32_t bitwiseCrc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<std::uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// "CRC32: " and the checksum of every byte before it, in hexadecimal
// without leading zeros.
bool sealValid(const std::string& bytes) {
  const std::string marker = textToUtf16le(u"CRC32: ");
  const std::size_t at = bytes.rfind(marker);
  if (at == std::string::npos) return false;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%X", bitwiseCrc32(std::string_view(bytes).substr(0, at)));
  return utf16leToText(bytes.substr(at + marker.size())) == utf8ToUtf16(hex);
}

struct Fault {
  FileOp op;
  std::uint32_t nth;
};

class ReportSafety : public ::testing::Test {
 protected:
  // Runs the cure with `faults` planted; a problem of the outcome, or none.
  static std::optional<std::string> cureWith(platform::Win32Code code,
                                             std::initializer_list<Fault> faults) {
    RunsRig rig;
    auto& files = rig.machine.files();
    files.addFolder(u"C:\\Users\\User\\Documents");
    files.addFile(u"C:\\Windows\\System32\\cmd.exe", "MZ cmd");
    files.addFile(u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", "MZ chrome");
    engine_test::ShortcutFields hijacked;
    hijacked.target = u"C:\\Windows\\System32\\cmd.exe";
    hijacked.arguments =
        u"/c start \"\" \"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" "
        u"http://ads.example";
    files.addFile(kChrome,
                  engine_test::shortcutBytes(hijacked, lnk::systemCodec(rig.machine.system())),
                  platform::attr::kArchive | platform::attr::kHidden);
    const std::string before = *files.readFileBytes(kChrome);
    const std::uint32_t attributesBefore = *files.attributesOf(kChrome);

    for (const Fault& fault : faults) files.faults().failNth(fault.op, fault.nth, code);
    rig.view.editBox = kChrome;
    try {
      rig.runs.cbRun_Click();
    } catch (const platform::ProgramEnded&) {
      return "the program ended";
    }
    files.faults().clear();

    if (files.readFileBytes(kChrome) == before && files.attributesOf(kChrome) == attributesBefore) {
      return std::nullopt;
    }
    const std::u16string& report = rig.program.log().ReportLogPath();
    const auto reportBytes = files.readFileBytes(report);
    if (!reportBytes) return "changed without a report";
    if (!sealValid(*reportBytes)) return "the report's seal does not hold";
    if (utf16leToText(*reportBytes).find(kChrome) == std::u16string::npos) {
      return "the report does not name the shortcut";
    }
    const std::u16string backup = rig.program.backup().BackupPathFor(kChrome);
    if (files.readFileBytes(backup) != before) return "no backup of the shortcut's bytes";
    if (files.attributesOf(backup) != attributesBefore) return "the backup's attributes differ";
    return std::nullopt;
  }
};

constexpr platform::Win32Code kCodes[] = {5, 32, 112, 183, 3, 65};
constexpr FileOp kOps[] = {FileOp::kCreateDirectory, FileOp::kCreateFile,
                           FileOp::kWriteFile,       FileOp::kCopyFile,
                           FileOp::kDeleteFile,      FileOp::kSetFileAttributes};

TEST_F(ReportSafety, EveryChangeIsReportedAndBackedUpWhateverFails) {
  for (const platform::Win32Code code : kCodes) {
    for (const FileOp op : kOps) {
      for (std::uint32_t nth = 1; nth <= 6; ++nth) {
        const auto problem = cureWith(code, {{op, nth}});
        EXPECT_FALSE(problem) << *problem << " (code " << code << ", op " << static_cast<int>(op)
                              << ", call " << nth << ")";
      }
    }
  }
}

TEST_F(ReportSafety, TwoFaultsAtOnce) {
  for (const platform::Win32Code code : kCodes) {
    for (const FileOp first : kOps) {
      for (const FileOp second : kOps) {
        for (std::uint32_t nth = 1; nth <= 3; ++nth) {
          const auto problem = cureWith(code, {{first, nth}, {second, nth + 1}});
          EXPECT_FALSE(problem) << *problem << " (code " << code << ", ops "
                                << static_cast<int>(first) << " and " << static_cast<int>(second)
                                << ", calls " << nth << " and " << nth + 1 << ")";
        }
      }
    }
  }
}

}  // namespace
}  // namespace tolvaran::runs_test
