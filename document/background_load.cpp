// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/background_load.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace quillmar {
namespace {

// A reading that takes less than this shows no progress window.
constexpr std::chrono::milliseconds kQuietWait{300};
constexpr int kPollMs = 25;

struct Cancelled {};

class Worker {
 public:
  explicit Worker(const std::function<void(const LoadProgress&)>& work) : thread_([this, &work] { run(work); }) {}
  ~Worker() { thread_.join(); }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  bool waitFor(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return finishedChanged_.wait_for(lock, time, [this] { return finished_.load(); });
  }
  void wait() {
    std::unique_lock lock(mutex_);
    finishedChanged_.wait(lock, [this] { return finished_.load(); });
  }
  bool finished() const { return finished_; }
  std::size_t done() const { return done_; }
  void cancel() { cancel_ = true; }

  LoadResult result() {
    if (failure_) std::rethrow_exception(failure_);
    return result_;
  }

 private:
  void run(const std::function<void(const LoadProgress&)>& work) {
    try {
      work([this](std::size_t done) {
        done_ = done;
        if (cancel_) throw Cancelled{};
      });
    } catch (const IoError& error) {
      result_.error = error;
    } catch (const Cancelled&) {
      result_.cancelled = true;
    } catch (...) {
      failure_ = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    finishedChanged_.notify_all();
  }

  std::atomic<std::size_t> done_{0};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  std::condition_variable finishedChanged_;
  LoadResult result_;
  std::exception_ptr failure_;
  std::thread thread_;  // last: it starts once everything above is made
};

int progressValue(std::size_t value) { return static_cast<int>(std::min<std::size_t>(value, INT_MAX)); }

void waitShowingProgress(Worker& worker, QWidget* parent, const QString& label, std::size_t total) {
  // A total of 0 (an input of unknown length) gives a busy bar.
  QProgressDialog dialog(label, QStringLiteral("Отмена"), 0, progressValue(total), parent);
  dialog.setWindowModality(Qt::ApplicationModal);
  // Above the splash window too, which stays on top.
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setValue(progressValue(worker.done()));
  dialog.show();  // the quiet wait is over: no need to estimate when to show
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    if (dialog.wasCanceled()) worker.cancel();
    if (worker.finished())
      loop.quit();
    else if (!dialog.wasCanceled())
      dialog.setValue(progressValue(worker.done()));
  });
  poll.start(kPollMs);
  if (!worker.finished()) loop.exec();
}

}  // namespace

LoadResult loadInBackground(QWidget* parent, const QString& label, std::size_t total,
                            const std::function<void(const LoadProgress&)>& work) {
  Worker worker(work);
  if (!worker.waitFor(kQuietWait)) waitShowingProgress(worker, parent, label, total);
  worker.wait();
  return worker.result();
}

}  // namespace quillmar
