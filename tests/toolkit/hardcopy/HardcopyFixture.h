// A stand-in hardcopy driver that logs every operation it is handed (the
// probe included) with the operands the hardcopy manager fills in, for
// the manager's and the options' tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/graphics/RecordingDriver.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyManager.h"

namespace hctest {

// How the stand-in behaves at operation 1 (not the probe).
struct StandInDriver {
  int32_t number = 1;
  bool writesFile = false;
  std::string defaultName = "plovplot.plt";
  // Options written at operation 1, after the common defaults.
  int32_t width = 742, height = 530, orientation = 1;
  // Called at the end of operation 1 (not the probe).
  void (*afterInit)() = nullptr;
  std::vector<std::string> log;
};
StandInDriver& Driver();

// Logs op (the probe as "1 probe"), publishes the stand-in's defaults at
// op 1 and marks the page open at drawing ops.
void StandInDriverOp(int32_t op);

class HardcopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GraphicsTestSetUp(400, 300);
    Driver() = StandInDriver{};
    HardcopyDriverTable()[1] = StandInDriverOp;
    HardcopyDriverNumber() = 1;
  }
  void TearDown() override { ResetHardcopyManager(); }
  // The stand-in at number n, selected and initialised; its log emptied.
  void Select(int32_t n = 1) {
    Driver().number = n;
    HardcopyDriverTable()[static_cast<size_t>(n)] = StandInDriverOp;
    YYHardcopySelect(kOpInit, n);
    Driver().log.clear();
  }
  std::vector<std::string>& Log() { return Driver().log; }
};

}  // namespace hctest
