#pragma once
// Writing a cured shortcut back through the one shared shell-link object,
// reading the file back to see what really landed, and reporting the result
// line, the icon line and the run's counters.
#include <string>
#include <string_view>

#include "engine/icon_check.h"
#include "fileops/cure_codes.h"
#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "report/report_log.h"
#include "shortcut/lnk_record.h"
#include "shortcut/shortcut_reader.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

// The icon line of the report's "Icons location" section: the tag, the
// shortcut, the icon ("." for none) with its index, and the reason code.
std::u16string composeIconLine(std::u16string_view tag, std::u16string_view lnkPath,
                               std::u16string_view icon, std::int32_t index,
                               std::u16string_view reason, const Translation& messages);

class ShortcutWriter {
 public:
  ShortcutWriter(const platform::Ports& ports, ShortcutReader& reader, IconCheck& icons,
                 modFile& files, WriteLog& log, const Translation& messages, const CureCodes& codes,
                 FailureRecorder& recorder);
  ShortcutWriter(const ShortcutWriter&) = delete;
  ShortcutWriter& operator=(const ShortcutWriter&) = delete;

  // Creates the shortcut anew at record.LnkPath from NewTarget, NewArguments
  // and the record's other fields, over what the shared object holds from
  // the last read. True when the file landed, was read back and its result
  // line written. A failing shell-link call is recorded as "Engine.SaveLNK"
  // and writes no line; a save that left no file, or a file that cannot be
  // read back, gives an "[ERR ]" line and one more error.
  bool SaveLNK(LnkRecord& record);

 private:
  void setFields(platform::ShellLink& link, const LnkRecord& record);
  void reportNotLanded(const LnkRecord& record, std::int64_t code);
  void reportRefused(const LnkRecord& record, platform::HResult hr);
  // The "[ERR ]" line of a shortcut that was not written, and its count.
  void reportError(const LnkRecord& record, std::u16string_view codeText, std::uint32_t code);

  platform::Ports ports_;
  ShortcutReader& reader_;
  IconCheck& icons_;
  modFile& files_;
  WriteLog& log_;
  const Translation& messages_;
  const CureCodes& codes_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
