// Progress of a long operation (export, reports, carry-over, checking a large
// file): a modal progress dialog that appears once the operation has run for
// half a second, with a cancel button where stopping half way is safe. Each
// step lets the windows repaint, so the program never looks frozen. It goes
// through the UI driver, so tests read what was shown and cancel on cue.
//
//   ui::Progress progress(this, caption, label, rows, ui::Cancel::kAllowed);
//   for (int64_t i = 0; i < rows; ++i) {
//     if (!progress.Step(i)) return;  // the user pressed "Отказ"
//     ...
//   }
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace ui {

enum class Cancel { kNotAllowed, kAllowed };

// (done, total) in, false out once the user asked to stop: how layers that
// know nothing of windows report their advance (Progress::Callback).
using ProgressCallback = std::function<bool(int64_t done, int64_t total)>;

struct ProgressRequest {
  QWidget *parent = nullptr;
  QString caption;
  QString label;
  int64_t total = 0;  // steps in all; 0 shows a busy indicator
  Cancel cancel = Cancel::kNotAllowed;
};

// One shown progress dialog, made by the UI driver. Closed when destroyed.
class ProgressSession {
 public:
  virtual ~ProgressSession() = default;
  // Shows `done` of the total and lets pending events run. Returns false
  // once the user asked to cancel (never for a request without a cancel).
  virtual bool Update(int64_t done) = 0;
  virtual void SetLabel(const QString &label) = 0;
  virtual void SetTotal(int64_t total) = 0;
  // Steps closer together than this are not passed on: painting a dialog for
  // each of 99 999 rows would cost more than the rows. Tests make it 0 so
  // that every step arrives.
  virtual int64_t UpdateIntervalMs() const { return 40; }
};

class Progress {
 public:
  Progress(QWidget *parent, const QString &caption, const QString &label, int64_t total,
           Cancel cancel = Cancel::kNotAllowed);
  ~Progress();
  Progress(const Progress &) = delete;
  Progress &operator=(const Progress &) = delete;

  // Reports that `done` steps are finished. Cheap enough to call for every
  // row: the dialog is updated at most every few tens of milliseconds (and at
  // the last step). Returns false once the user cancelled.
  bool Step(int64_t done);
  void SetLabel(const QString &label);
  void SetTotal(int64_t total);
  bool Cancelled() const { return cancelled_; }

  // A callback for layers that know nothing of windows: (done, total) in,
  // false out when the user cancelled. A total other than the one given so
  // far replaces it.
  ProgressCallback Callback();

 private:
  std::unique_ptr<ProgressSession> session_;
  int64_t total_;
  int64_t last_shown_ = -1;
  int64_t last_update_ms_ = 0;
  bool cancelled_ = false;
};

}  // namespace ui
