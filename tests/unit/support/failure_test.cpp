#include "support/failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "common/recording_recorder.h"

namespace tolvaran {
namespace {

TEST(Guarded, RecordsTheFailureWithTheContextOfThatMomentAndReturnsTheNeutralValue) {
  RecordingRecorder recorder;
  std::u16string working = u"before";
  const int result = guarded(
      recorder, -1,
      [&]() -> int {
        working = u"C:\\during.lnk";
        throw RuntimeError(53, u"File not found", 2);
      },
      [&] { return ErrorContext(u"Engine.FixLNK", u"File: ", working); });
  EXPECT_EQ(result, -1);
  ASSERT_EQ(recorder.size(), 1u);
  EXPECT_EQ(recorder.records()[0].failure.number, 53);
  EXPECT_EQ(recorder.records()[0].failure.lastSystemError, 2);
  EXPECT_EQ(recorder.records()[0].context,
            (std::vector<std::u16string>{u"Engine.FixLNK", u"File: ", u"C:\\during.lnk"}));
}

TEST(Guarded, MapsLanguageFailuresToRunTimeNumbers) {
  struct Case {
    void (*raise)();
    std::int32_t number;
    const char16_t* text;
  };
  const Case cases[] = {
      {[] { throw std::bad_alloc(); }, 7, u"Out of memory"},
      {[] { throw std::out_of_range("x"); }, 9, u"Subscript out of range"},
      {[] { (void)std::u16string().at(3); }, 9, u"Subscript out of range"},
      {[] { throw std::overflow_error("x"); }, 6, u"Overflow"},
      {[] { throw 42; }, 5, u"Invalid procedure call or argument"},
  };
  for (const auto& c : cases) {
    RecordingRecorder recorder;
    EXPECT_FALSE(guardedStep(recorder, c.raise, [] { return ErrorContext(u"M.P"); }));
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(recorder.records()[0].failure.number, c.number);
    EXPECT_EQ(recorder.records()[0].failure.description, c.text);
  }
}

TEST(Guarded, LetsTheEndOfTheProgramThroughAndRecordsNothingOnSuccess) {
  RecordingRecorder recorder;
  EXPECT_THROW(
      guardedStep(
          recorder, [] { throw platform::ProgramEnded{1}; }, [] { return ErrorContext(u"M.P"); }),
      platform::ProgramEnded);
  EXPECT_EQ(guarded(
                recorder, 0, [] { return 7; }, [] { return ErrorContext(u"M.P"); }),
            7);
  EXPECT_TRUE(recorder.empty());
}

TEST(RunTimeErrors, UnknownNumbersHaveTheGenericText) {
  EXPECT_EQ(runtimeErrorText(457),
            u"This key is already associated with an element of this collection");
  EXPECT_EQ(runtimeErrorText(31999), u"Application-defined or object-defined error");
}

}  // namespace
}  // namespace tolvaran
