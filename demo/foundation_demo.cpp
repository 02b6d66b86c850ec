// What the program's foundation does today, shown on a simulated Windows
// machine: the four built-in language tables, an error log with the
// damaged-shortcut diagnosis, the settings file, the checksums and a report
// log with its header, result lines, statistics and CRC seal.
#include <cstdio>
#include <string>

#include "platform/sim/sim_machine.h"
#include "report/error_log.h"
#include "report/report_log.h"
#include "report/settings_file.h"
#include "support/checksums.h"
#include "support/embedded_resources.h"
#include "support/text.h"
#include "support/translation.h"

namespace {

using namespace tolvaran;

void print(std::u16string_view text) { std::fputs(utf16ToUtf8(text).c_str(), stdout); }
void heading(const char* text) { std::printf("\n== %s ==\n", text); }

void showLanguageTables(platform::sim::SimMachine& machine) {
  heading("Language tables (resources 102-105)");
  const struct {
    int id;
    const char* name;
  } tables[] = {{resource::kLanguageRussian, "Russian"},
                {resource::kLanguageEnglish, "English"},
                {resource::kLanguageFrench, "French"},
                {resource::kLanguageGerman, "German"}};
  for (const auto& table : tables) {
    Translation messages;
    messages.LoadLangTable(table.id, machine.ui(), u"Tolvaran");
    int entries = 0;
    for (int n = 0; n <= Translation::kLastEntry; ++n) entries += messages.msg(n).empty() ? 0 : 1;
    std::printf("%-8s %3d entries, %zu bytes | ", table.name, entries,
                embeddedResource(table.id).size());
    print(messages.msg(21) + u" | " + messages.msg(6) + u" | " + messages.msg(74) + u"3 " +
          messages.msg(76) + u".\n");
  }
}

void showErrorLog(platform::sim::SimMachine& machine, const Translation& messages) {
  heading("Errors.log on a Russian machine (ANSI code page 1251)");
  (void)machine.system().setAnsiCodePage(1251);
  machine.clock().setLocalTime({2026, 12, 1, 7, 1, 37, 32, 0});
  machine.files().addFolder(u"C:\\Tools");
  machine.files().addFolder(u"C:\\Users\\Пользователь\\Desktop");
  std::string html = "<html>\r\n<head>\r\n<title>Free offer</title>";
  html.resize(2048, ' ');
  machine.files().addFile(u"C:\\Users\\Пользователь\\Desktop\\Opera.lnk", html);
  machine.files().addFile(u"C:\\Users\\Пользователь\\Desktop\\Edge.lnk", std::string(1536, '\0'));

  auto ports = machine.ports();
  ErrorLog log(ports, messages, u"C:\\Tools");
  const Failure eFail{static_cast<std::int32_t>(0x80004005u), u"Automation error", 0};
  log.recordError(runtimeFailure(rt::kInvalidProcedureCall),
                  ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ",
                               u"C:\\Users\\Пользователь\\Desktop\\Google Chrome.lnk"));
  log.recordError(eFail, ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ",
                                      u"C:\\Users\\Пользователь\\Desktop\\Opera.lnk"));
  log.recordError(eFail, ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ",
                                      u"C:\\Users\\Пользователь\\Desktop\\Edge.lnk"));
  machine.clock().advance(1000);
  log.recordError(Failure{70, u"Permission denied", 5},
                  ErrorContext(u"Engine.FixLNK", u"File: ", u"C:\\Users\\Public\\Desktop\\Yandex.lnk"));
  log.CloseErrorLog();
  const auto bytes = machine.files().readFileBytes(log.ErrorLogPath()).value_or("");
  print(machine.system().ansiToWide(bytes));
}

void showSettingsAndChecksums(platform::sim::SimMachine& machine) {
  heading("Tolvaran.ini after two runs on one day");
  machine.files().addFolder(u"C:\\Users\\User\\AppData\\Local\\Temp");
  const std::u16string path = u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran.ini";
  auto ports = machine.ports();
  Translation messages;
  ErrorLog errors(ports, messages, u"C:\\Tools");
  clsMD5_hash md5(machine.system(), machine.files(), errors);
  clsCRC32 crc(machine.system(), machine.files());
  SettingsFile settings(machine.profile(), errors, path);
  (void)settings.WriteSettings(u"LastHash", md5.DigestStrToHexStr(u"C:\\Users\\User\\Desktop\\Opera.lnk"));
  (void)settings.WriteSettings(u"LastDate", u"07.12.2026");
  (void)settings.WriteSettings(u"TodayTimes", 1);
  (void)settings.WriteSettings(u"TodayTimes", 2);
  print(machine.system().ansiToWide(machine.files().readFileBytes(path).value_or("")));

  heading("Checksums");
  print(u"CRC-32 of \"abc\": " + crc.CalcCRC(u"abc") + u"\nMD5 of \"abc\":    " +
        md5.DigestStrToHexStr(u"abc") + u"\n");
}

void showReportLog() {
  heading("A report log (UTF-16 on disk, shown as UTF-8)");
  platform::sim::SimMachine machine;
  machine.files().addFolder(u"C:\\Tools");
  machine.clock().setLocalTime({2026, 12, 2, 8, 9, 41, 5, 0});
  auto ports = machine.ports();
  Translation messages;
  messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), u"Tolvaran");
  ErrorLog errors(ports, messages, u"C:\\Tools");
  SettingsFile settings(machine.profile(), errors, u"C:\\Tools\\Tolvaran.ini");
  clsCRC32 crc(machine.system(), machine.files());
  clsOSInfo os(machine.osInfo(), machine.registry(), errors);
  WriteLog report(ports, messages, errors, settings, crc, os,
                  {u"C:\\Tools", u"Tolvaran by Orvik Pelmanov", u"1.4.0.0"});
  report.ResetLogState();
  report.CreateLogFile();
  std::u16string path = u"C:\\Users\\User\\Desktop\\Google Chrome.lnk";
  std::u16string target = u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
  report.AddLinkToLog(status::kOk, path, target, u"", messages.msg(35), u"A1", u"R1",
                      ListSelector::kMain, false);
  path = u"C:\\Users\\User\\Desktop\\Opera.lnk";
  target.clear();
  report.AddLinkToLog(status::kSkipped, path, target, u"", messages.msg(36), u"", u"",
                      ListSelector::kMain, false);
  report.Statistics = {.Total = 2, .Cured = 1, .Omitted = 1};
  report.FinishLog(false);
  const auto bytes = machine.files().readFileBytes(report.ReportLogPath()).value_or("");
  print(report.ReportLogPath() + u"\n" + utf16leToText(bytes).substr(1) + u"\n");
}

}  // namespace

int main() {
  std::printf("Tolvaran: the foundation on a simulated Windows machine\n");
  platform::sim::SimMachine machine;
  showLanguageTables(machine);
  Translation russian;
  russian.LoadLangTable(resource::kLanguageRussian, machine.ui(), u"Tolvaran");
  showErrorLog(machine, russian);
  showSettingsAndChecksums(machine);
  showReportLog();
  return 0;
}
