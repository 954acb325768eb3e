// The process recorder of the test interface.
#include <algorithm>
#include <deque>

#include "platform/os/Os.h"
#include "platform/test/Test.h"

namespace plat::test {

namespace {

struct Recorder {
  std::vector<std::string> onPath;
  std::deque<SpawnAnswer> answers;
  std::vector<RecordedSpawn> spawns;
};

Recorder& R() {
  static Recorder r;
  return r;
}

int Run(const std::vector<std::string>& argv, const std::string* input, bool wait, SpawnOutcome& outcome) {
  RecordedSpawn s;
  s.argv = argv;
  s.hasInput = input != nullptr;
  if (input != nullptr) s.input = *input;
  s.waited = wait;
  R().spawns.push_back(std::move(s));
  SpawnAnswer a;
  if (!R().answers.empty()) {
    a = R().answers.front();
    R().answers.pop_front();
  }
  if (a.startError != 0) return a.startError;
  outcome.ended = wait;
  outcome.exitStatus = wait ? a.exitStatus : -1;
  return 0;
}

bool OnPath(const std::string& name) {
  return std::find(R().onPath.begin(), R().onPath.end(), name) != R().onPath.end();
}

}  // namespace

void recordSpawns(std::vector<std::string> onPath) {
  R() = Recorder{};
  R().onPath = std::move(onPath);
  SpawnHook hook;
  hook.run = Run;
  hook.onPath = OnPath;
  SetSpawnHook(hook);
}

void answerSpawn(SpawnAnswer answer) { R().answers.push_back(answer); }

const std::vector<RecordedSpawn>& recordedSpawns() { return R().spawns; }

void stopRecordingSpawns() {
  SetSpawnHook({});
  R() = Recorder{};
}

}  // namespace plat::test
