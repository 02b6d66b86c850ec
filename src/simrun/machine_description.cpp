#include "simrun/machine_description.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "shortcut/lnk_ansi.h"

namespace tolvaran::simrun {

std::uint32_t attributesOf(const Json& object) {
  std::uint32_t attributes = platform::attr::kArchive;
  if (!object.contains("attributes")) return attributes;
  for (const Json& name : object.at("attributes")) {
    const std::string n = name.get<std::string>();
    if (n == "readonly")
      attributes |= platform::attr::kReadOnly;
    else if (n == "hidden")
      attributes |= platform::attr::kHidden;
    else if (n == "system")
      attributes |= platform::attr::kSystem;
    else
      throw std::runtime_error("unknown attribute " + n);
  }
  return attributes;
}

std::string attributeLetters(std::uint32_t attributes) {
  std::string letters;
  if (attributes & platform::attr::kReadOnly) letters += 'R';
  if (attributes & platform::attr::kHidden) letters += 'H';
  if (attributes & platform::attr::kSystem) letters += 'S';
  if (attributes & platform::attr::kArchive) letters += 'A';
  return letters.empty() ? "-" : letters;
}

platform::sim::OsProfile profileOf(const Json& scenario) {
  using platform::sim::WindowsRelease;
  platform::sim::ProfileOptions options{.elevated = true};
  if (!scenario.contains("os")) return platform::sim::makeOsProfile(options);
  const Json& os = scenario.at("os");
  static const std::map<std::string, WindowsRelease> releases{
      {"2000", WindowsRelease::Windows2000},   {"XP", WindowsRelease::WindowsXP},
      {"Vista", WindowsRelease::WindowsVista}, {"7", WindowsRelease::Windows7},
      {"8.1", WindowsRelease::Windows81},      {"10", WindowsRelease::Windows10},
      {"11", WindowsRelease::Windows11}};
  if (os.contains("release")) options.release = releases.at(os.at("release").get<std::string>());
  if (os.contains("bits")) options.is64BitOs = os.at("bits").get<int>() == 64;
  if (os.contains("language") && os.at("language") == "Russian") {
    options.language = platform::sim::OsLanguage::Russian;
  }
  if (os.contains("programBits")) {
    options.processPointerSize = os.at("programBits").get<int>() == 64 ? 8 : 4;
  }
  if (os.contains("elevated")) options.elevated = os.at("elevated").get<bool>();
  if (os.value("account", std::string("administrator")) == "user") {
    options.account = platform::sim::UserAccount::StandardUser;
  }
  return platform::sim::makeOsProfile(options);
}

platform::sim::FileOp fileOpOf(const std::string& name) {
  using platform::sim::FileOp;
  static const std::map<std::string, FileOp> ops{{"getFileAttributes", FileOp::kGetFileAttributes},
                                                 {"setFileAttributes", FileOp::kSetFileAttributes},
                                                 {"deleteFile", FileOp::kDeleteFile},
                                                 {"moveFile", FileOp::kMoveFile},
                                                 {"copyFile", FileOp::kCopyFile},
                                                 {"createFile", FileOp::kCreateFile},
                                                 {"readFile", FileOp::kReadFile},
                                                 {"writeFile", FileOp::kWriteFile},
                                                 {"createDirectory", FileOp::kCreateDirectory}};
  return ops.at(name);
}

platform::sim::ShellLinkOp shellLinkOpOf(const std::string& name) {
  using platform::sim::ShellLinkOp;
  static const std::map<std::string, ShellLinkOp> ops{
      {"load", ShellLinkOp::kLoad},
      {"save", ShellLinkOp::kSave},
      {"setPath", ShellLinkOp::kSetPath},
      {"setIconLocation", ShellLinkOp::kSetIconLocation},
      {"getPath", ShellLinkOp::kGetPath}};
  return ops.at(name);
}

ShortcutFields shortcutOf(const Json& s) {
  ShortcutFields fields;
  fields.target = text(s, "target");
  fields.environmentTarget = text(s, "environmentTarget");
  fields.linkInfoTarget = text(s, "linkInfoTarget");
  fields.storeApp = text(s, "storeApp");
  fields.arguments = text(s, "arguments");
  fields.workingDir = text(s, "workingDir");
  fields.iconLocation = text(s, "icon");
  fields.iconIndex = s.value("iconIndex", 0);
  fields.description = text(s, "description");
  fields.hotkey = static_cast<std::uint16_t>(s.value("hotkey", 0));
  fields.showCmd = s.value("showCmd", 1u);
  return fields;
}

std::string shortcutBytes(const ShortcutFields& fields, platform::System& system) {
  return shortcutBytes(fields, lnk::systemCodec(system));
}

std::string fromHex(std::string_view hex) {
  std::string bytes;
  std::string digits;
  for (const char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    if (digits.size() == 2) {
      bytes.push_back(static_cast<char>(std::stoi(digits, nullptr, 16)));
      digits.clear();
    }
  }
  return bytes;
}

platform::HResult hresultOf(const Json& fault) {
  if (!fault.contains("hresult")) return platform::kHresultFail;
  const Json& value = fault.at("hresult");
  if (value.is_string())
    return static_cast<platform::HResult>(std::stoul(value.get<std::string>(), nullptr, 16));
  return value.get<platform::HResult>();
}

int answerOf(const Json& answer) {
  if (answer.is_number_integer()) return answer.get<int>();
  static const std::map<std::string, int> buttons{{"OK", platform::id::kOk},
                                                  {"Cancel", platform::id::kCancel},
                                                  {"Yes", platform::id::kYes},
                                                  {"No", platform::id::kNo}};
  return buttons.at(answer.get<std::string>());
}

std::vector<std::string> plantMachine(const Json& scenario, platform::sim::SimMachine& machine,
                                      PlantedFiles& planted) {
  std::vector<std::string> problems;
  auto& files = machine.files();
  if (scenario.contains("environment")) {
    for (const auto& [name, value] : scenario.at("environment").items()) {
      (void)machine.system().setEnvironmentVariable(utf8ToUtf16(name), text(value));
    }
  }
  if (scenario.contains("registry")) {
    std::string reg = "Windows Registry Editor Version 5.00\r\n";
    for (const Json& line : scenario.at("registry")) reg += line.get<std::string>() + "\r\n";
    for (const auto bad : machine.registry().loadRegFile(reg)) {
      problems.push_back("registry line " + std::to_string(bad) + " not understood");
    }
  }
  for (const Json& volume : scenario.value("volumes", Json::array())) {
    files.addVolume(text(volume));
  }
  for (const Json& folder : scenario.value("folders", Json::array())) {
    files.addFolder(text(folder));
  }
  const auto plantFile = [&](const Json& f) {
    std::string bytes;
    if (f.contains("hex")) {
      bytes = fromHex(f.at("hex").get<std::string>());
    } else if (f.contains("utf16")) {
      // A text file as Notepad saves it in "Unicode": UTF-16LE, with or
      // without the byte-order mark.
      bytes = (f.value("bom", true) ? std::string("\xFF\xFE") : std::string()) +
              textToUtf16le(text(f, "utf16"));
    } else if (f.contains("ansi")) {
      bytes = machine.system().wideToAnsi(text(f, "ansi"));
    } else {
      bytes = f.value("text", std::string());
    }
    files.addFile(text(f, "path"), bytes, attributesOf(f));
    planted[foldCase(text(f, "path"))] = bytes;
  };
  for (const Json& f : scenario.value("files", Json::array())) {
    if (!f.value("fresh", false)) plantFile(f);
  }
  for (const Json& s : scenario.value("shortcuts", Json::array())) {
    const std::u16string path = text(s, "path");
    const std::string bytes = shortcutBytes(shortcutOf(s), machine.system());
    files.addFile(path, bytes, attributesOf(s));
    planted[foldCase(path)] = bytes;
  }
  // What was planted is old, unless it was dropped with the infection.
  machine.clock().advance(scenario.value("ageDays", 30) * kDay);
  for (const Json& f : scenario.value("files", Json::array())) {
    if (f.value("fresh", false)) plantFile(f);
  }
  for (const Json& path : scenario.value("locked", Json::array())) {
    files.faults().failAlways(platform::sim::FileOp::kDeleteFile, platform::kErrorAccessDenied,
                              text(path));
  }
  for (const Json& f : scenario.value("faults", Json::array())) {
    files.faults().failNth(fileOpOf(f.at("op")), f.value("nth", 1u),
                           f.value("code", platform::kErrorAccessDenied),
                           f.value("persistent", false), text(f, "path"));
  }
  for (const Json& f : scenario.value("shellLinkFaults", Json::array())) {
    machine.shellLinks().faults().failNth(shellLinkOpOf(f.at("op")), f.value("nth", 1u),
                                          hresultOf(f));
  }
  for (const Json& answer : scenario.value("dialogAnswers", Json::array())) {
    machine.ui().queueAnswer(answerOf(answer));
  }
  for (const Json& answer : scenario.value("dialogs", Json::array())) {
    machine.ui().queueAnswer(answerOf(answer));
  }
  files.clearJournal();
  return problems;
}

}  // namespace tolvaran::simrun

namespace tolvaran::simrun {
namespace {

std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

Json loadScenario(const std::string& path) {
  Json scenario = Json::parse(readWholeFile(path));
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!scenario.contains("files")) return scenario;
  for (Json& file : scenario.at("files")) {
    if (!file.contains("fromFile")) continue;
    const std::string content = readWholeFile(folder / file.at("fromFile").get<std::string>());
    const std::string as = file.value("as", std::string("text"));
    if (as == "utf16" || as == "utf16-nobom") {
      file["utf16"] = content;
      file["bom"] = as == "utf16";
    } else if (as == "ansi") {
      file["ansi"] = content;
    } else {
      file["text"] = content;
    }
  }
  return scenario;
}

}  // namespace tolvaran::simrun
