#pragma once
// A worker thread created paused. Pausing is cooperative: the body calls Checkpoint()
// between steps, and Suspend() returns once the body sits at a checkpoint (or has
// ended, or parked), so a paused body makes no progress and holds no lock.
// When the body returns, the end handler runs on the UI thread, queued behind every
// message the body posted before.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Messages.h"

namespace ov::platform {

class WorkerThread {
 public:
  using EndHandler = std::function<void(WorkerThread& sender)>;

  explicit WorkerThread(Messages& messages);
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  // Derived classes call StopThread() first in their own destructor.
  virtual ~WorkerThread();

  void SetEndHandler(EndHandler handler);
  // The first call starts the body; later calls let a suspended body go on.
  void Resume();
  // Asks the body to pause and waits until it sits at a checkpoint, has ended or has parked.
  // Returns false when the thread has not been started.
  bool Suspend();

  bool Started() const;
  bool Finished() const;  // the body has returned
  bool Parked() const;

 protected:
  virtual void Execute() = 0;
  // Blocks while a pause is requested. Unwinds the body (with Aborted) once the owner stops the thread.
  void Checkpoint();
  // Stops the body for good: it never returns and the end handler never runs.
  [[noreturn]] void Park();
  // Ends the thread before the object goes away: a paused or parked body is unwound at its
  // checkpoint, a running one is waited for.
  void StopThread();

 public:
  // Thrown inside the body by Checkpoint()/Park() when the owner stops the thread.
  // Not a std::exception, so step-wise `catch (const std::exception&)` lets it pass.
  struct Aborted {};

 private:
  void Run();

  Messages& messages_;
  EndHandler endHandler_;
  std::shared_ptr<bool> alive_;  // read on the UI thread only
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  bool pauseRequested_ = false;
  bool atCheckpoint_ = false;
  bool finished_ = false;
  bool parked_ = false;
  bool abort_ = false;
  std::thread thread_;
};

}  // namespace ov::platform
