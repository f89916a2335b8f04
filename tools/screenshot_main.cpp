// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-screenshot: starts the windows as the program does, imports a
// field book into a new document window ("Импорт"), or opens a record file
// (*.qdl) as "Открыть" does, and saves a picture of the frame as soon as the
// list has first been painted. tools/make-screenshot runs it under a virtual
// display; bench/measure-document times it.

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <iostream>
#include <utility>

#include "app/main_form.h"
#include "app/startup.h"
#include "document/child_form.h"
#include "document/program_state.h"
#include "document/record_list_model.h"
#include "document/shared_windows.h"
#include "widgets/command_icons.h"
#include "widgets/dialog_seam.h"

namespace {

using quillmar::Answer;
using quillmar::SaveChoice;
using quillmar::SaveRequest;

// Names the field book once, when "Импорт" asks; any other question means
// the windows are not in the state the picture should show.
class ImportSeam final : public quillmar::DialogSeam {
 public:
  explicit ImportSeam(QString fieldBook) : fieldBook_(std::move(fieldBook)) {}

  bool failed() const { return failed_; }

  QString askOpenFileName(QWidget*, const QString&, const QString&) override {
    if (fieldBook_.isEmpty()) unexpected(QStringLiteral("a second open dialog"));
    return std::exchange(fieldBook_, QString());
  }
  SaveChoice askSaveFileName(QWidget*, const SaveRequest& request) override {
    unexpected(QStringLiteral("a save dialog: ") + request.title);
    return {};
  }
  bool confirmYesNo(QWidget*, const QString& question) override {
    unexpected(question);
    return false;
  }
  Answer confirmYesNoCancel(QWidget*, const QString& question) override {
    unexpected(question);
    return Answer::Cancel;
  }
  void showMessage(QWidget*, const QString& text) override { unexpected(text); }
  void showError(QWidget*, const QString& text) override { unexpected(text); }
  std::optional<int> askRowNumber(QWidget*, int, int) override {
    unexpected(QStringLiteral("a row question"));
    return std::nullopt;
  }

 private:
  void unexpected(const QString& what) {
    std::cerr << "quillmar-screenshot: unexpected " << what.toStdString() << "\n";
    failed_ = true;
  }

  QString fieldBook_;
  bool failed_ = false;
};

// Runs `then` once, after the first paint of the watched widget.
class FirstPaint final : public QObject {
 public:
  FirstPaint(QWidget& watched, std::function<void()> then) : then_(std::move(then)) {
    watched.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && then_) {
      watched->removeEventFilter(this);
      // After the paint has finished and reached the window.
      QTimer::singleShot(0, std::exchange(then_, {}));
    }
    return false;
  }

 private:
  std::function<void()> then_;
};

bool isRecordFile(const QString& path) { return path.endsWith(QStringLiteral(".qdl"), Qt::CaseInsensitive); }

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: quillmar-screenshot FIELD_BOOK OUT.png\n";
    return 2;
  }
  QApplication::setApplicationName(QStringLiteral("Quillmar"));
  QApplication::setWindowIcon(quillmar::applicationIcon());
  const QString out = QString::fromLocal8Bit(argv[2]);

  quillmar::ProgramState program;
  quillmar::SharedWindows shared;
  ImportSeam seam(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
  const auto frame = quillmar::createLongLivedWindows(program, shared, seam);
  frame->show();
  quillmar::TChildForm* document = nullptr;
  if (isRecordFile(QString::fromLocal8Bit(argv[1]))) {
    document = frame->Open();
  } else {
    document = frame->New();
    document->ImportClick();
  }
  if (seam.failed() || document->recordModel().rowCount() == 0) {
    std::cerr << "quillmar-screenshot: the field book was not imported\n";
    return 1;
  }
  document->listView().setFocus();

  const FirstPaint firstPaint(*document->listView().viewport(), [&] {
    int status = 0;
    if (seam.failed()) {
      status = 1;
    } else if (!frame->grab().save(out, "PNG")) {
      std::cerr << "quillmar-screenshot: cannot write " << out.toStdString() << "\n";
      status = 1;
    }
    // exit, not quit: quit would first close the windows, and the modified
    // document would ask whether to save.
    QApplication::exit(status);
  });
  const int status = QApplication::exec();
  document->closeWithoutQuery();
  return status;
}
