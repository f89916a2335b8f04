#pragma once
// A progress window for reading a large field book. It appears only when the
// work takes a while, and keeps the windows painted meanwhile.

#include <QProgressDialog>

#include <cstddef>

namespace quillmar {

class ProgressDisplay {
 public:
  ProgressDisplay(QWidget* parent, const QString& label, std::size_t total);
  void step(std::size_t done);

 private:
  QProgressDialog dialog_;
};

}  // namespace quillmar
