#include "pe_check/export_lists.h"

namespace tolvaran::pe {
namespace {

std::string_view trimmed(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

}  // namespace

void ExportLists::add(std::string_view dll, std::string_view listText) {
  auto& names = byDll_[lowerAscii(dll)];
  while (!listText.empty()) {
    const std::size_t end = listText.find('\n');
    const std::string_view line = trimmed(listText.substr(0, end));
    listText = end == std::string_view::npos ? std::string_view{} : listText.substr(end + 1);
    if (!line.empty() && line.front() != '#') names.emplace(line);
  }
}

std::vector<std::string> ExportLists::missing(const Image& image) const {
  std::vector<std::string> found;
  for (const ImportedFunctions& imported : image.functions) {
    const auto list = byDll_.find(lowerAscii(imported.dll));
    if (list == byDll_.end()) {
      found.push_back("import " + imported.dll +
                      " has no export list to check its functions against");
      continue;
    }
    for (const std::string& name : imported.names) {
      if (!list->second.contains(name)) {
        found.push_back("import " + imported.dll + "!" + name + " is not in the DLL's export list");
      }
    }
    for (const std::uint16_t ordinal : imported.ordinals) {
      found.push_back("import " + imported.dll + " ordinal " + std::to_string(ordinal) +
                      " has no name to check");
    }
  }
  return found;
}

}  // namespace tolvaran::pe
