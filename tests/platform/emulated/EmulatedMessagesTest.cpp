#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "tests/platform/emulated/TestMachine.h"

namespace ov::emulated {
namespace {

using namespace std::chrono_literals;

class EmulatedMessages : public EmulatedTest {
 protected:
  platform::Messages& messages() { return machine_->machine().messages; }
  // A window that records the wParam of every message it gets.
  WindowHandle RecordingWindow(const std::string& className, std::vector<std::uintptr_t>& into) {
    return machine_->CreateWindow(className, [&into](std::uint32_t, std::uintptr_t w, std::intptr_t) {
      into.push_back(w);
      return std::intptr_t{0};
    });
  }
};

TEST_F(EmulatedMessages, FindsTheNewestWindowOfAClassWithoutRegardToCase) {
  EXPECT_EQ(messages().FindWindowByClass("TfrmInst"), 0u);
  const WindowHandle older = machine_->AddForeignWindow("TfrmInst");
  std::vector<std::uintptr_t> received;
  const WindowHandle newer = RecordingWindow("TFRMINST", received);
  const WindowHandle product = machine_->AddForeignWindow("TVelOVMainMDIFrm");
  EXPECT_NE(older, 0u);
  EXPECT_NE(older, newer);
  EXPECT_EQ(messages().FindWindowByClass("tfrminst"), newer);
  EXPECT_EQ(messages().FindWindowByClass("TVelOVMainMDIFrm"), product);
  machine_->DestroyWindow(newer);
  EXPECT_EQ(messages().FindWindowByClass("TfrmInst"), older);
  machine_->DestroyWindow(older);
  EXPECT_EQ(messages().FindWindowByClass("TfrmInst"), 0u);
}

TEST_F(EmulatedMessages, AForeignWindowAcceptsMessagesAndADestroyedOneRefusesThem) {
  const WindowHandle foreign = machine_->AddForeignWindow("Other");
  EXPECT_TRUE(messages().Post(foreign, 1, 2, 3));
  EXPECT_EQ(machine_->PumpPending(), 0u) << "nothing of ours to dispatch";
  machine_->DestroyWindow(foreign);
  EXPECT_FALSE(messages().Post(foreign, 1, 2, 3));
  EXPECT_FALSE(messages().Post(0, 1, 2, 3));
}

TEST_F(EmulatedMessages, MessagesQueuedForAWindowDestroyedMeanwhileAreDropped) {
  std::vector<std::uintptr_t> received;
  const WindowHandle window = RecordingWindow("Mine", received);
  ASSERT_TRUE(messages().Post(window, 1, 7, 0));
  machine_->DestroyWindow(window);
  EXPECT_EQ(machine_->PumpPending(), 1u);
  EXPECT_TRUE(received.empty());
}

TEST_F(EmulatedMessages, PumpPendingAlsoDispatchesWhatHandlersPost) {
  std::vector<std::uintptr_t> received;
  const WindowHandle window = RecordingWindow("Mine", received);
  ASSERT_TRUE(messages().Post(window, 1, 1, 0));
  ASSERT_TRUE(messages().PostTask([&] { messages().Post(window, 1, 3, 0); }));
  ASSERT_TRUE(messages().Post(window, 1, 2, 0));
  EXPECT_EQ(machine_->PumpPending(), 4u);
  EXPECT_EQ(received, (std::vector<std::uintptr_t>{1, 2, 3}));
  EXPECT_EQ(machine_->PumpPending(), 0u);
}

TEST_F(EmulatedMessages, PumpUntilGivesUpAfterTheTimeout) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(machine_->PumpUntil([] { return false; }, 50ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_TRUE(machine_->PumpUntil([] { return true; }, 0ms));
}

TEST_F(EmulatedMessages, EachThreadsMessagesKeepTheirOrderWhenThreadsPostAtOnce) {
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::uintptr_t> received;
  const WindowHandle window = RecordingWindow("Mine", received);
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i)
        messages().Post(window, 1, static_cast<std::uintptr_t>(t * kEach + i), 0);
    });
  }
  ASSERT_TRUE(machine_->PumpUntil([&] { return received.size() == kThreads * kEach; }, 10s));
  for (std::thread& poster : posters) poster.join();
  std::vector<std::uintptr_t> last(kThreads, 0);
  std::vector<bool> seen(kThreads, false);
  for (std::uintptr_t w : received) {
    const std::size_t t = w / kEach;
    if (seen[t]) {
      EXPECT_GT(w, last[t]);
    }
    seen[t] = true;
    last[t] = w;
  }
}

}  // namespace
}  // namespace ov::emulated
