#include "shortcut/lnk_reader.h"

#include <utility>

#include "shortcut/lnk_bytes.h"

namespace tolvaran::lnk {

namespace {

Header headerFrom(std::string_view bytes) {
  Header header;
  for (std::size_t i = 0; i < header.clsid.size(); ++i) {
    header.clsid[i] = static_cast<std::uint8_t>(bytes[4 + i]);
  }
  header.linkFlags = u32At(bytes, 20);
  header.fileAttributes = u32At(bytes, 24);
  header.creationTime = u64At(bytes, 28);
  header.accessTime = u64At(bytes, 36);
  header.writeTime = u64At(bytes, 44);
  header.fileSize = u32At(bytes, 52);
  header.iconIndex = static_cast<std::int32_t>(u32At(bytes, 56));
  header.showCommand = u32At(bytes, 60);
  header.hotKey = u16At(bytes, 64);
  header.reserved1 = u16At(bytes, 66);
  header.reserved2 = u32At(bytes, 68);
  header.reserved3 = u32At(bytes, 72);
  return header;
}

class Reader {
 public:
  Reader(std::string_view bytes, const AnsiCodec& codec) : bytes_(bytes), codec_(codec) {}

  ReadResult run() {
    // Each part only while the ones before it were read.
    if (readHeader() && readIdList() && readLinkInfo() && readStrings()) readExtraData();
    return std::move(result_);
  }

 private:
  bool fail(ReadError error, std::size_t offset) {
    result_.error = error;
    result_.errorOffset = offset;
    return false;
  }

  bool readHeader() {
    if (bytes_.size() >= 4 && u32At(bytes_, 0) != kHeaderSize) {
      return fail(ReadError::kBadHeaderSize, 0);
    }
    if (bytes_.size() < kHeaderSize) return fail(ReadError::kTruncatedHeader, 0);
    result_.file.header = headerFrom(bytes_);
    position_ = kHeaderSize;
    return true;
  }

  bool readIdList() {
    if (!result_.file.hasFlag(flag::kHasLinkTargetIdList)) return true;
    const auto size = readU16(bytes_, position_);
    if (!size) return fail(ReadError::kTruncatedIdList, position_);
    const auto list = bytesAt(bytes_, position_ + 2, *size);
    if (!list) return fail(ReadError::kTruncatedIdList, position_);
    const ItemScan scan = scanItemIds(*list);
    if (!scan.ok) return fail(ReadError::kBadIdList, position_ + 2 + scan.errorOffset);
    result_.file.idList = decodeIdList(*list);
    position_ += 2 + *size;
    return true;
  }

  bool readLinkInfo() {
    if (!result_.file.hasFlag(flag::kHasLinkInfo)) return true;
    const auto size = readU32(bytes_, position_);
    if (!size) return fail(ReadError::kTruncatedLinkInfo, position_);
    if (*size < kLinkInfoHeaderSize) return fail(ReadError::kBadLinkInfo, position_);
    const auto info = bytesAt(bytes_, position_, *size);
    if (!info) return fail(ReadError::kTruncatedLinkInfo, position_);
    auto decoded = decodeLinkInfo(*info);
    if (!decoded.value) return fail(ReadError::kBadLinkInfo, position_ + decoded.errorOffset);
    result_.file.linkInfo = std::move(decoded.value);
    position_ += *size;
    return true;
  }

  bool readStrings() {
    const bool unicode = result_.file.isUnicode();
    StringData& strings = result_.file.strings;
    for (std::size_t i = 0; i < kStringFieldCount; ++i) {
      if (!result_.file.hasFlag(kStringFieldFlags[i])) continue;
      const auto size = countedStringSize(bytes_, position_, unicode);
      if (!size) return fail(ReadError::kTruncatedString, position_);
      const std::string_view counted = bytes_.substr(position_, *size);
      strings.values[i] = decodeCountedString(counted, unicode, codec_);
      strings.origins[i].bytes = std::string(counted);
      position_ += *size;
    }
    return true;
  }

  // The list ends at a terminal block, at a block that does not fit (an
  // error), or where the file ends.
  bool readExtraData() {
    LnkFile& file = result_.file;
    for (;;) {
      const auto size = readU32(bytes_, position_);
      if (!size) {
        file.terminalBlock.reset();
        file.trailing.assign(bytes_.substr(position_));
        return true;
      }
      if (*size < kTerminalBlockLimit) {
        file.terminalBlock = *size;
        file.trailing.assign(bytes_.substr(position_ + 4));
        return true;
      }
      if (*size < kBlockHeaderSize) return fail(ReadError::kBadExtraBlock, position_);
      const auto block = bytesAt(bytes_, position_, *size);
      if (!block) return fail(ReadError::kTruncatedExtraBlock, position_);
      file.extraData.push_back(
          ExtraBlock{u32At(*block, 4), std::string(block->substr(kBlockHeaderSize))});
      position_ += *size;
    }
  }

  std::string_view bytes_;
  const AnsiCodec& codec_;
  ReadResult result_;
  std::size_t position_ = 0;
};

}  // namespace

ReadResult readLnk(std::string_view bytes, const AnsiCodec& codec) {
  return Reader(bytes, codec).run();
}

std::u16string_view describe(ReadError error) noexcept {
  switch (error) {
    case ReadError::kNone: return u"no error";
    case ReadError::kTruncatedHeader: return u"the header is cut short";
    case ReadError::kBadHeaderSize: return u"the header size is not 76";
    case ReadError::kTruncatedIdList: return u"the target ID list runs past the end";
    case ReadError::kBadIdList: return u"an item ID does not fit its list";
    case ReadError::kTruncatedLinkInfo: return u"the LinkInfo runs past the end";
    case ReadError::kBadLinkInfo: return u"the LinkInfo holds a size or offset that points nowhere";
    case ReadError::kTruncatedString: return u"a string runs past the end";
    case ReadError::kBadExtraBlock: return u"an extra data block is too small for its signature";
    case ReadError::kTruncatedExtraBlock: return u"an extra data block runs past the end";
  }
  return u"unknown error";
}

}  // namespace tolvaran::lnk
