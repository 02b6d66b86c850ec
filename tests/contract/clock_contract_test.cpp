// The clock port: the same behaviour from the virtual clock and from Windows.
#include "contract/contract_fixture.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

class ClockContract : public ContractTest, public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }
};

TEST_P(ClockContract, MonotonicNeverGoesBack) {
  std::uint64_t previous = clock().monotonicMilliseconds();
  for (int i = 0; i < 1000; ++i) {
    const std::uint64_t now = clock().monotonicMilliseconds();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

TEST_P(ClockContract, SleepAdvancesTheCounter) {
  const std::uint64_t before = clock().monotonicMilliseconds();
  clock().sleep(30);
  // The tick counter's resolution on Windows is about 16 ms.
  EXPECT_GE(clock().monotonicMilliseconds() - before, 14u);
}

TEST_P(ClockContract, LocalTimeIsAValidDate) {
  const SystemTime now = clock().localTime();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_LE(now.dayOfWeek, 6);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.minute, 59);
  EXPECT_LE(now.second, 59);
  EXPECT_LE(now.milliseconds, 999);
}

INSTANTIATE_TEST_SUITE_P(Ports, ClockContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
