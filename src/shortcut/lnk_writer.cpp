#include "shortcut/lnk_writer.h"

#include <limits>

#include "shortcut/lnk_bytes.h"

namespace tolvaran::lnk {

namespace {

constexpr std::size_t kMaxStructureSize = std::numeric_limits<std::uint32_t>::max();

void appendHeader(std::string& out, const LnkFile& file) {
  const Header& header = file.header;
  appendU32(out, kHeaderSize);
  for (const std::uint8_t byte : header.clsid) out.push_back(static_cast<char>(byte));
  appendU32(out, effectiveLinkFlags(file));
  appendU32(out, header.fileAttributes);
  appendU64(out, header.creationTime);
  appendU64(out, header.accessTime);
  appendU64(out, header.writeTime);
  appendU32(out, header.fileSize);
  appendU32(out, static_cast<std::uint32_t>(header.iconIndex));
  appendU32(out, header.showCommand);
  appendU16(out, header.hotKey);
  appendU16(out, header.reserved1);
  appendU32(out, header.reserved2);
  appendU32(out, header.reserved3);
}

bool unchanged(const IdList& list) {
  if (!list.origin.bytes || list.origin.bytes->size() > 0xFFFF) return false;
  const auto decoded = decodeIdList(*list.origin.bytes);
  return decoded && *decoded == list;
}

bool unchanged(const LinkInfo& info) {
  if (!info.origin.bytes) return false;
  const auto decoded = decodeLinkInfo(*info.origin.bytes);
  return decoded.value && *decoded.value == info;
}

bool unchangedString(const Origin& origin, const std::u16string& text, bool unicode,
                     const AnsiCodec& codec) {
  if (!origin.bytes) return false;
  const std::string_view bytes = *origin.bytes;
  return countedStringSize(bytes, 0, unicode) == bytes.size() &&
         decodeCountedString(bytes, unicode, codec) == text;
}

class Writer {
 public:
  Writer(const LnkFile& file, const AnsiCodec& codec) : file_(file), codec_(codec) {}

  WriteResult run() {
    appendHeader(out_, file_);
    if (file_.idList && !appendIdList(*file_.idList)) return fail(WriteError::kIdListTooLong);
    if (file_.linkInfo && !appendLinkInfo(*file_.linkInfo)) return fail(WriteError::kBlockTooLarge);
    if (!appendStrings()) return fail(WriteError::kStringTooLong);
    for (const ExtraBlock& block : file_.extraData) {
      if (block.data.size() > kMaxStructureSize - kBlockHeaderSize) {
        return fail(WriteError::kBlockTooLarge);
      }
      out_ += encodeExtraBlock(block);
    }
    if (file_.terminalBlock) {
      appendU32(out_, *file_.terminalBlock < kTerminalBlockLimit ? *file_.terminalBlock : 0);
    }
    out_ += file_.trailing;
    return WriteResult{std::move(out_), WriteError::kNone};
  }

 private:
  WriteResult fail(WriteError error) { return WriteResult{{}, error}; }

  bool appendIdList(const IdList& list) {
    const std::string encoded = unchanged(list) ? *list.origin.bytes : encodeIdList(list);
    if (encoded.size() > 0xFFFF) return false;
    appendU16(out_, static_cast<std::uint16_t>(encoded.size()));
    out_ += encoded;
    return true;
  }

  bool appendLinkInfo(const LinkInfo& info) {
    if (unchanged(info)) {
      out_ += *info.origin.bytes;
      return true;
    }
    const std::string encoded = encodeLinkInfo(info);
    if (encoded.size() > kMaxStructureSize) return false;
    out_ += encoded;
    return true;
  }

  bool appendStrings() {
    const bool unicode = file_.isUnicode();
    const StringData& strings = file_.strings;
    for (std::size_t i = 0; i < kStringFieldCount; ++i) {
      if (!strings.values[i]) continue;
      const std::u16string& text = *strings.values[i];
      if (unchangedString(strings.origins[i], text, unicode, codec_)) {
        out_ += *strings.origins[i].bytes;
        continue;
      }
      const auto encoded = encodeCountedString(text, unicode, codec_);
      if (!encoded) return false;
      out_ += *encoded;
    }
    return true;
  }

  const LnkFile& file_;
  const AnsiCodec& codec_;
  std::string out_;
};

}  // namespace

WriteResult writeLnk(const LnkFile& file, const AnsiCodec& codec) {
  return Writer(file, codec).run();
}

}  // namespace tolvaran::lnk
