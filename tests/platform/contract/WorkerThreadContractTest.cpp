#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/WorkerThread.h"
#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kStepMessage = 0x8000 + 30;

// Counts steps, one checkpoint before each; posts one message per step when given a window.
// Stops after `steps` steps (never, when 0), or parks after `parkAfter` steps.
class CountingJob final : public platform::WorkerThread {
 public:
  CountingJob(platform::Messages& messages, platform::WindowHandle window, int steps, int parkAfter = -1)
      : WorkerThread(messages), messages_(messages), window_(window), steps_(steps), parkAfter_(parkAfter) {}
  ~CountingJob() override { StopThread(); }

  std::atomic<int> progress{0};
  std::atomic<bool> stop{false};
  std::atomic<bool> passedPark{false};

 protected:
  void Execute() override {
    for (int step = 0; steps_ == 0 || step < steps_; ++step) {
      Checkpoint();
      if (stop) return;
      if (step == parkAfter_) {
        Park();
        passedPark = true;
      }
      if (window_ != 0) messages_.Post(window_, kStepMessage, static_cast<std::uintptr_t>(step), 0);
      ++progress;
      if (steps_ == 0) std::this_thread::sleep_for(1ms);
    }
  }

 private:
  platform::Messages& messages_;
  const platform::WindowHandle window_;
  const int steps_;
  const int parkAfter_;
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class WorkerThreadContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    window_ = env_->CreateWindow("OvContractJobWindow",
                                 [this](std::uint32_t message, std::uintptr_t w, std::intptr_t) {
                                   if (message == kStepMessage) steps_.push_back(static_cast<int>(w));
                                   return std::intptr_t{0};
                                 });
    ASSERT_NE(window_, 0u);
  }

  platform::WindowHandle window_ = 0;
  std::vector<int> steps_;  // touched on the pumping thread only
};

TEST_F(WorkerThreadContract, AJobIsCreatedPaused) {
  CountingJob job(machine().messages, 0, 5);
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(job.Started());
  EXPECT_FALSE(job.Suspend()) << "nothing to suspend before the start";
  EXPECT_EQ(job.progress, 0);
}

TEST_F(WorkerThreadContract, SuspendHoldsTheBodyAtACheckpointAndResumeContinues) {
  CountingJob job(machine().messages, 0, 0);
  bool ended = false;
  job.SetEndHandler([&](platform::WorkerThread&) { ended = true; });
  job.Resume();
  ASSERT_TRUE(WaitFor([&] { return job.progress >= 3; }));

  ASSERT_TRUE(job.Suspend());
  const int paused = job.progress;
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(job.progress, paused) << "no progress while suspended";

  job.Resume();
  EXPECT_TRUE(WaitFor([&] { return job.progress > paused; }));
  job.stop = true;
  ASSERT_TRUE(env_->PumpUntil([&] { return ended; }, 10s));
  EXPECT_TRUE(job.Finished());
}

TEST_F(WorkerThreadContract, TheEndHandlerRunsOnTheUiThreadAfterEveryPostedMessage) {
  constexpr int kSteps = 40;
  CountingJob job(machine().messages, window_, kSteps);
  std::thread::id handlerThread;
  std::size_t stepsSeenByHandler = 0;
  bool ended = false;
  job.SetEndHandler([&](platform::WorkerThread& sender) {
    EXPECT_EQ(&sender, &job);
    handlerThread = std::this_thread::get_id();
    stepsSeenByHandler = steps_.size();
    ended = true;
  });
  job.Resume();
  ASSERT_TRUE(env_->PumpUntil([&] { return ended; }, 10s));

  EXPECT_EQ(handlerThread, std::this_thread::get_id());
  EXPECT_EQ(stepsSeenByHandler, static_cast<std::size_t>(kSteps));
  ASSERT_EQ(steps_.size(), static_cast<std::size_t>(kSteps));
  for (int i = 0; i < kSteps; ++i) EXPECT_EQ(steps_[i], i) << "messages arrive in posting order";
}

TEST_F(WorkerThreadContract, AParkedJobNeverRunsItsEndHandlerAndCanBeDestroyed) {
  bool ended = false;
  {
    CountingJob job(machine().messages, window_, 10, 2);
    job.SetEndHandler([&](platform::WorkerThread&) { ended = true; });
    job.Resume();
    ASSERT_TRUE(WaitFor([&] { return job.Parked(); }));
    EXPECT_TRUE(job.Suspend()) << "a parked job counts as paused";
    EXPECT_FALSE(env_->PumpUntil([&] { return ended; }, 200ms));
    EXPECT_EQ(steps_, (std::vector<int>{0, 1}));
    EXPECT_FALSE(job.passedPark);
  }
  EXPECT_FALSE(env_->PumpUntil([&] { return ended; }, 50ms));
}

TEST_F(WorkerThreadContract, DestroyingASuspendedJobUnwindsItWithoutItsEndHandler) {
  bool ended = false;
  int progressAtSuspend = 0;
  {
    CountingJob job(machine().messages, 0, 0);
    job.SetEndHandler([&](platform::WorkerThread&) { ended = true; });
    job.Resume();
    ASSERT_TRUE(WaitFor([&] { return job.progress >= 1; }));
    ASSERT_TRUE(job.Suspend());
    progressAtSuspend = job.progress;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(job.progress, progressAtSuspend);
  }
  EXPECT_FALSE(env_->PumpUntil([&] { return ended; }, 100ms));
}

}  // namespace
}  // namespace ov::contract
