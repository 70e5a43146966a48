// See progress.h.
#include "ui/progress.h"

#include <QElapsedTimer>

#include "ui/ui_driver.h"

namespace ui {
namespace {

int64_t NowMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return clock.elapsed();
}

}  // namespace

Progress::Progress(QWidget *parent, const QString &caption, const QString &label, int64_t total,
                   Cancel cancel)
    : session_(Driver().BeginProgress(ProgressRequest{parent, caption, label, total, cancel})),
      total_(total),
      last_update_ms_(NowMs()) {}

Progress::~Progress() = default;

bool Progress::Step(int64_t done) {
  if (cancelled_) return false;
  const int64_t now = NowMs();
  const bool last = total_ > 0 && done >= total_;
  if (!last && now - last_update_ms_ < session_->UpdateIntervalMs()) return true;
  if (done == last_shown_) return true;
  last_update_ms_ = now;
  last_shown_ = done;
  cancelled_ = !session_->Update(done);
  return !cancelled_;
}

void Progress::SetLabel(const QString &label) { session_->SetLabel(label); }

void Progress::SetTotal(int64_t total) {
  total_ = total;
  session_->SetTotal(total);
}

ProgressCallback Progress::Callback() {
  return [this](int64_t done, int64_t total) {
    if (total != total_) SetTotal(total);
    return Step(done);
  };
}

}  // namespace ui
