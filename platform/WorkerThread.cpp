#include "platform/WorkerThread.h"

namespace ov::platform {

WorkerThread::WorkerThread(Messages& messages) : messages_(messages), alive_(std::make_shared<bool>(true)) {}

WorkerThread::~WorkerThread() {
  *alive_ = false;
  StopThread();
}

void WorkerThread::SetEndHandler(EndHandler handler) { endHandler_ = std::move(handler); }

void WorkerThread::Resume() {
  std::unique_lock lock(mutex_);
  if (!started_) {
    started_ = true;
    thread_ = std::thread([this] { Run(); });
    return;
  }
  pauseRequested_ = false;
  changed_.notify_all();
}

bool WorkerThread::Suspend() {
  std::unique_lock lock(mutex_);
  if (!started_) return false;
  pauseRequested_ = true;
  changed_.wait(lock, [this] { return atCheckpoint_ || finished_ || parked_; });
  return true;
}

bool WorkerThread::Started() const {
  std::lock_guard lock(mutex_);
  return started_;
}

bool WorkerThread::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

bool WorkerThread::Parked() const {
  std::lock_guard lock(mutex_);
  return parked_;
}

void WorkerThread::Checkpoint() {
  std::unique_lock lock(mutex_);
  if (abort_) throw Aborted{};
  if (!pauseRequested_) return;
  atCheckpoint_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !pauseRequested_ || abort_; });
  atCheckpoint_ = false;
  if (abort_) throw Aborted{};
}

void WorkerThread::Park() {
  std::unique_lock lock(mutex_);
  parked_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return abort_; });
  throw Aborted{};
}

void WorkerThread::StopThread() {
  {
    std::lock_guard lock(mutex_);
    abort_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void WorkerThread::Run() {
  bool aborted = false;
  try {
    Execute();
  } catch (const Aborted&) {
    aborted = true;
  } catch (...) {
    // The body's own failures end it like a return.
  }
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }
  if (aborted) return;
  messages_.PostTask([this, alive = alive_] {
    if (*alive && endHandler_) endHandler_(*this);
  });
}

}  // namespace ov::platform
