// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/busy_work.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include <exception>
#include <memory>

namespace quillmar {
namespace {
constexpr int kShowProgressAfterMs = 300;
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

void runWithProgress(QWidget* parent, const QString& label, const std::function<void()>& work) {
  const WaitCursor waiting;
  std::exception_ptr failure;
  const std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  // Without a value range the bar only says that work goes on.
  QProgressDialog progress(label, QString(), 0, 0, parent);
  progress.setCancelButton(nullptr);
  progress.setMinimumDuration(kShowProgressAfterMs);
  progress.setValue(0);
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace quillmar
