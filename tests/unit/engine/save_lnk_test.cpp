// Writing a cured shortcut: which result line each situation gives, the icon
// lines, and what happens when the new file does not land (the original is
// put back from the backup).
#include "engine/save_lnk.h"

#include <gtest/gtest.h>

#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using namespace engine_test;
using platform::sim::ShellLinkOp;

constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;
constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\My Tool.lnk";
constexpr std::u16string_view kExe = u"C:\\Apps\\tool.exe";

// A shell whose Save claims success and writes nothing.
class ForgetfulShellLinks final : public platform::ShellLinks {
 public:
  explicit ForgetfulShellLinks(platform::sim::SimMachine& machine)
      : inner_(machine.files(), machine.system()) {}
  platform::ComResult<std::unique_ptr<platform::ShellLink>> createShellLink() override {
    auto created = inner_.createShellLink();
    if (created.failed()) return created;
    return {std::make_unique<Object>(std::move(created.value)), platform::kHresultOk};
  }

 private:
  class Object final : public platform::ShellLink {
   public:
    explicit Object(std::unique_ptr<platform::ShellLink> inner) : inner_(std::move(inner)) {}
    platform::ComStatus load(std::u16string_view p, std::uint32_t m) override {
      return inner_->load(p, m);
    }
    platform::ComStatus save(std::u16string_view, bool) override { return {}; }
    platform::ComStatus saveCompleted(std::u16string_view) override { return {}; }
    platform::ComResult<std::u16string> getPath(std::int32_t n, std::uint32_t f) override {
      return inner_->getPath(n, f);
    }
    platform::ComResult<std::u16string> getArguments(std::int32_t n) override {
      return inner_->getArguments(n);
    }
    platform::ComResult<std::u16string> getDescription(std::int32_t n) override {
      return inner_->getDescription(n);
    }
    platform::ComResult<std::uint16_t> getHotkey() override { return inner_->getHotkey(); }
    platform::ComResult<platform::IconLocation> getIconLocation(std::int32_t n) override {
      return inner_->getIconLocation(n);
    }
    platform::ComResult<std::int32_t> getShowCmd() override { return inner_->getShowCmd(); }
    platform::ComResult<std::u16string> getWorkingDirectory(std::int32_t n) override {
      return inner_->getWorkingDirectory(n);
    }
    platform::ComStatus setPath(std::u16string_view v) override { return inner_->setPath(v); }
    platform::ComStatus setArguments(std::u16string_view v) override {
      return inner_->setArguments(v);
    }
    platform::ComStatus setWorkingDirectory(std::u16string_view v) override {
      return inner_->setWorkingDirectory(v);
    }
    platform::ComStatus setIconLocation(std::u16string_view v, std::int32_t i) override {
      return inner_->setIconLocation(v, i);
    }
    platform::ComStatus setShowCmd(std::int32_t v) override { return inner_->setShowCmd(v); }
    platform::ComStatus setHotkey(std::uint16_t v) override { return inner_->setHotkey(v); }
    platform::ComStatus setDescription(std::u16string_view v) override {
      return inner_->setDescription(v);
    }

   private:
    std::unique_ptr<platform::ShellLink> inner_;
  };
  lnk::CodecShellLinks inner_;
};

struct WriterRig : EngineRig {
  WriterRig() {
    addProgram(kExe);
    addProgram(u"C:\\Icons\\tool.ico", "icon");
    machine.clock().advance(30 * kDay);
  }
  // The shortcut read as the cure reads it, ready for SaveLNK.
  LnkRecord load(const ShortcutFields& fields) {
    addShortcut(kTool, fields);
    LnkRecord record = engine.reader().GetTargetShellLinkW(kTool);
    record.NewTarget = record.Target;
    record.NewArguments = record.Arguments;
    return record;
  }
};

const ShortcutFields kPlain{.target = std::u16string(kExe),
                            .arguments = u"--x",
                            .workingDir = u"C:\\Apps",
                            .iconLocation = u"C:\\Icons\\tool.ico"};

TEST(SaveLnkTest, ChoosesTheResultLineByWhatChanged) {
  struct Case {
    const char* name;
    void (*change)(LnkRecord&);
    std::u16string_view tag;
    std::u16string_view result;
  } cases[] = {
      {"nothing", [](LnkRecord&) {}, u"[WARN]", u"(already cured)"},
      {"arguments", [](LnkRecord& r) { r.NewArguments.clear(); }, u"[ OK ]",
       u"(Method RN-S)   (OK)"},
      {"attributes", [](LnkRecord& r) { r.WasHidden = r.WasSystem = true; }, u"[ATTR]",
       u"(OK) (attribute hidden was removed) (attribute system was removed)"},
      {"fake deleted", [](LnkRecord& r) { r.DupDeleted = true; }, u"[ OK ]",
       u"(original recreated)"},
      // A changed target wins over everything else.
      {"target and attributes",
       [](LnkRecord& r) {
         r.NewTarget = u"C:\\Apps\\other.exe";
         r.WasHidden = true;
       },
       u"[ OK ]", u"(OK)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriterRig rig;
    rig.addProgram(u"C:\\Apps\\other.exe");
    rig.machine.clock().advance(30 * kDay);
    rig.engine.state().codes.RuleCode = u"RN";
    rig.engine.state().codes.RecoveryCode = u"AN";
    LnkRecord record = rig.load(kPlain);
    c.change(record);
    EXPECT_TRUE(rig.engine.writer().SaveLNK(record));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_TRUE(rig.lines()[0].starts_with(c.tag));
    EXPECT_TRUE(rig.lines()[0].ends_with(c.result)) << utf16ToUtf8(rig.lines()[0]);
    EXPECT_TRUE(rig.iconLines().empty());
    EXPECT_EQ(rig.log.Statistics.Cured + rig.log.Statistics.Warnings, 1);
    EXPECT_EQ(rig.log.Statistics.Warnings, c.tag == u"[WARN]" ? 1 : 0);
  }
}

TEST(SaveLnkTest, ResetsASuspiciousIconAndReportsIt) {
  WriterRig rig;
  ShortcutFields fields = kPlain;
  fields.iconLocation = u"C:\\Icons\\gone.ico";
  fields.iconIndex = 4;
  LnkRecord record = rig.load(fields);
  EXPECT_TRUE(rig.engine.writer().SaveLNK(record));
  EXPECT_TRUE(record.IconSuspicious);
  const LnkRecord saved = rig.readShortcut(kTool);
  EXPECT_EQ(saved.IconLocation, u"");
  EXPECT_EQ(saved.IconIndex, 1);
  EXPECT_TRUE(rig.lines()[0].ends_with(u"(icon has been recovered)"));
  EXPECT_EQ(rig.iconLines(),
            std::vector<std::u16string>{u"[ OK ] \"C:\\Users\\User\\Desktop\\My Tool.lnk\"\t -> "
                                        u"\t[ \".\", index=1 ]  (Method: 3)"});
}

TEST(SaveLnkTest, NeverResetsTheProgramsOwnIcon) {
  WriterRig rig;
  // Installed a minute ago: suspicious by date, but it is the target itself.
  rig.addProgram(u"C:\\Apps\\new.exe");
  ShortcutFields fields = kPlain;
  fields.target = u"C:\\Apps\\new.exe";
  fields.iconLocation = u"c:\\apps\\NEW.exe";
  LnkRecord record = rig.load(fields);
  EXPECT_TRUE(rig.engine.writer().SaveLNK(record));
  EXPECT_FALSE(record.IconSuspicious);
  EXPECT_EQ(rig.readShortcut(kTool).IconLocation, u"c:\\apps\\NEW.exe");
  EXPECT_TRUE(rig.iconLines().empty());
}

TEST(SaveLnkTest, AFailingShellCallIsAnErrorLineAndAnErrorRecord) {
  WriterRig rig;
  LnkRecord record = rig.load(kPlain);
  rig.engine.state().codes.RuleCode = u"R4";
  rig.engine.state().codes.RecoveryCode = u"A2";
  rig.machine.shellLinks().faults().failNth(ShellLinkOp::kSave, 1, platform::kHresultAccessDenied);
  EXPECT_FALSE(rig.engine.writer().SaveLNK(record));
  // A Win32 code inside the HRESULT is shown as the code.
  ASSERT_EQ(rig.lines().size(), 1u);
  EXPECT_TRUE(contains(rig.lines().front(), u"[ERR ]"));
  EXPECT_TRUE(contains(rig.lines().front(), u"(ERROR: cannot create a shortcut! Code: 5. "));
  EXPECT_EQ(rig.log.Statistics, (RunStatistics{.Errors = 1}));
  ASSERT_EQ(rig.failures.count(u"Engine.SaveLNK"), 1u);
  EXPECT_EQ(rig.failures.records.back().context,
            (std::vector<std::u16string>{u"Engine.SaveLNK", u"A2-R4",
                                         u"[\"C:\\Users\\User\\Desktop\\My Tool.lnk\"]"}));

  // Any other HRESULT is shown as one.
  WriterRig other;
  LnkRecord second = other.load(kPlain);
  other.machine.shellLinks().faults().failNth(ShellLinkOp::kSave, 1, 0x80004005u);
  EXPECT_FALSE(other.engine.writer().SaveLNK(second));
  ASSERT_EQ(other.lines().size(), 1u);
  EXPECT_TRUE(contains(other.lines().front(), u"Code: 0x80004005. "));
}

// --- The new shortcut does not land: the cure puts the original back --------

struct LandingRig : EngineRig {
  LandingRig() {
    addProgram(kExe);
    addShortcut(kTool, kPlain);
    original = *machine.files().readFileBytes(kTool);
  }
  std::string original;
};

TEST(SaveLnkTest, ASaveThatLeavesNoFileIsAnErrorAndTheOriginalReturns) {
  LandingRig rig;
  rig.machine.shellLinks().registerClass(std::make_unique<ForgetfulShellLinks>(rig.machine));
  rig.engine.reader().ISL_Release();
  rig.engine.reader().ISL_Init();
  rig.cure(kTool);
  EXPECT_TRUE(rig.lines()[0].starts_with(u"[ERR ]"));
  EXPECT_TRUE(rig.lines()[0].ends_with(
      u"(ERROR: cannot create a shortcut! Code: 2. The system cannot find the file specified.)"));
  EXPECT_EQ(rig.iconLines(), std::vector<std::u16string>{
                                 u"[ERR ] \"C:\\Users\\User\\Desktop\\My Tool.lnk\"\t -> \t[ "
                                 u"\"C:\\Icons\\tool.ico\", index=0 ]  (Method: 3)"});
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
  EXPECT_EQ(rig.machine.files().readFileBytes(kTool), rig.original);
}

TEST(SaveLnkTest, AFileThatCannotBeReadBackIsAnErrorNotACure) {
  LandingRig rig;
  // The first load reads the shortcut, the second reads the new file back.
  rig.machine.shellLinks().faults().failNth(ShellLinkOp::kLoad, 2, platform::kHresultFail);
  rig.cure(kTool);
  ASSERT_EQ(rig.lines().size(), 1u);
  EXPECT_TRUE(rig.lines()[0].starts_with(u"[ERR ]"));
  EXPECT_TRUE(contains(rig.lines()[0], u"(ERROR: cannot create a shortcut! Code: "));
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
  EXPECT_EQ(rig.log.Statistics.Cured, 0);
  EXPECT_EQ(rig.machine.files().readFileBytes(kTool), rig.original);
}

TEST(SaveLnkTest, AFailedSaveLeavesTheOriginalInPlace) {
  LandingRig rig;
  rig.machine.shellLinks().faults().failNth(ShellLinkOp::kSave, 1, platform::kHresultAccessDenied);
  rig.cure(kTool);
  EXPECT_EQ(rig.machine.files().readFileBytes(kTool), rig.original);
  EXPECT_EQ(rig.failures.count(u"Engine.SaveLNK"), 1u);
  EXPECT_EQ(rig.machine.files().readFileBytes(rig.backup.BackupPathFor(kTool)), rig.original);
}

}  // namespace
}  // namespace tolvaran
