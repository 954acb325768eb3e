// The queue, sending, and the never-hang rule.
#include <gtest/gtest.h>

#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace plat {
namespace {

class QueueTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
  void TearDown() override { test::reset(); }
};

TEST_F(QueueTest, BlockingWaitWithNoInputFailsLoudly) {
  Msg m;
  try {
    getMessage(m);
    FAIL() << "getMessage returned";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "event loop starved");
  }
}

}  // namespace
}  // namespace plat
