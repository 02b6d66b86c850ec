#include "report/settings_file.h"

#include <gtest/gtest.h>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran {
namespace {

constexpr char16_t kPath[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran.ini";

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() { machine.files().addFolder(u"C:\\Users\\User\\AppData\\Local\\Temp"); }

  platform::sim::SimMachine machine;
  RecordingRecorder recorder;
  SettingsFile settings{machine.profile(), recorder, kPath};
};

TEST_F(SettingsFileTest, WritesTheDocumentedFile) {
  EXPECT_TRUE(settings.WriteSettings(u"LastHash", u"9E107D9D372BB6826BD81D3542A419D6"));
  EXPECT_TRUE(settings.WriteSettings(u"LastDate", u"07.12.2026"));
  EXPECT_TRUE(settings.WriteSettings(u"TodayTimes", 1));
  EXPECT_TRUE(settings.WriteSettings(u"TodayTimes", 2));
  EXPECT_EQ(machine.files().readFileBytes(kPath),
            "[Tolvaran]\r\n"
            "LastHash=9E107D9D372BB6826BD81D3542A419D6\r\n"
            "LastDate=07.12.2026\r\n"
            "TodayTimes=2\r\n");
  EXPECT_EQ(settings.ReadSetting(u"todaytimes", u""), u"2");
  EXPECT_TRUE(recorder.empty());
}

TEST_F(SettingsFileTest, DefaultsAndTheErrorQuirk) {
  EXPECT_EQ(settings.ReadSetting(u"LastHash", u"none"), u"none");  // no file yet
  machine.files().addFile(kPath, "[Tolvaran]\r\nLastHash=error\r\nTodayTimes=\r\nLastDate=x\r\n");
  EXPECT_EQ(settings.ReadSetting(u"LastHash", u"none"), u"none");
  EXPECT_EQ(settings.ReadSetting(u"TodayTimes", u"none"), u"");
  EXPECT_EQ(settings.ReadSetting(u"Missing", u"none"), u"none");
}

TEST_F(SettingsFileTest, GarbageReadsAsDefaultsAndLongValuesAreCut) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  machine.files().addFile(kPath, garbage);
  EXPECT_EQ(settings.ReadSetting(u"LastHash", u"d"), u"d");

  machine.files().addFile(kPath, "[Tolvaran]\r\nLastHash=" + std::string(1000, 'A') + "\r\n");
  EXPECT_EQ(settings.ReadSetting(u"LastHash", u"d"), std::u16string(259, u'A'));
}

TEST_F(SettingsFileTest, AFailedWriteIsRecordedAndReported) {
  SettingsFile nowhere(machine.profile(), recorder, u"C:\\Missing\\Tolvaran.ini");
  EXPECT_FALSE(nowhere.WriteSettings(u"TodayTimes", 1));
  ASSERT_EQ(recorder.size(), 1u);
  const auto& record = recorder.records().front();
  EXPECT_EQ(record.context, (std::vector<std::u16string>{u"WriteLog.WriteSettings", u"File:",
                                                         u"C:\\Missing\\Tolvaran.ini"}));
  EXPECT_EQ(record.failure.lastSystemError, 3);  // ERROR_PATH_NOT_FOUND
}

}  // namespace
}  // namespace tolvaran
