#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kTestMessage = 0x8000 + 17;  // WM_APP range

struct Received {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::thread::id thread;
};

class MessagesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    window_ = env_->CreateWindow("OvContractWindow",
                                 [this](std::uint32_t message, std::uintptr_t w, std::intptr_t l) {
                                   std::lock_guard lock(mutex_);
                                   received_.push_back({message, w, l, std::this_thread::get_id()});
                                   return std::intptr_t{0};
                                 });
    ASSERT_NE(window_, 0u);
  }
  std::size_t ReceivedCount() {
    std::lock_guard lock(mutex_);
    return received_.size();
  }

  platform::WindowHandle window_ = 0;
  std::mutex mutex_;
  std::vector<Received> received_;
};

TEST_F(MessagesContract, PostedMessagesArriveInPostingOrderOnThePumpingThread) {
  constexpr int kCount = 50;
  std::thread poster([&] {
    for (int i = 0; i < kCount; ++i) {
      ASSERT_TRUE(machine().messages.Post(window_, kTestMessage, static_cast<std::uintptr_t>(i), -i));
    }
  });
  poster.join();
  ASSERT_TRUE(env_->PumpUntil([&] { return ReceivedCount() == kCount; }, 10s));
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(received_[i].message, kTestMessage);
    EXPECT_EQ(received_[i].wParam, static_cast<std::uintptr_t>(i));
    EXPECT_EQ(received_[i].lParam, -i);
    EXPECT_EQ(received_[i].thread, std::this_thread::get_id());
  }
}

TEST_F(MessagesContract, ATaskRunsOnThePumpingThreadBehindEarlierMessages) {
  std::thread::id taskThread;
  std::size_t messagesBeforeTask = 0;
  bool taskRan = false;
  std::thread poster([&] {
    machine().messages.Post(window_, kTestMessage, 1, 0);
    machine().messages.Post(window_, kTestMessage, 2, 0);
    machine().messages.PostTask([&] {
      taskThread = std::this_thread::get_id();
      messagesBeforeTask = ReceivedCount();
      taskRan = true;
    });
    machine().messages.Post(window_, kTestMessage, 3, 0);
  });
  poster.join();
  ASSERT_TRUE(env_->PumpUntil([&] { return taskRan && ReceivedCount() == 3; }, 10s));
  EXPECT_EQ(taskThread, std::this_thread::get_id());
  EXPECT_EQ(messagesBeforeTask, 2u);
}

TEST_F(MessagesContract, PostingToAWindowThatDoesNotExistFails) {
  EXPECT_FALSE(machine().messages.Post(static_cast<platform::WindowHandle>(0x0DEAD000), kTestMessage, 0, 0));
  EXPECT_EQ(machine().messages.FindWindowByClass("OvContractNoSuchClass"), 0u);
}

}  // namespace
}  // namespace ov::contract
