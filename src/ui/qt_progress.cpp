// See qt_progress.h.
#include "ui/qt_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>
#include <climits>

namespace ui {
namespace {

// The dialog appears only for operations that last longer than this.
constexpr int kShowAfterMs = 500;

class QtProgress : public ProgressSession {
 public:
  explicit QtProgress(const ProgressRequest &request) : dialog_(request.parent) {
    dialog_.setWindowTitle(request.caption);
    dialog_.setLabelText(request.label);
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumDuration(kShowAfterMs);
    if (request.cancel == Cancel::kAllowed) {
      dialog_.setCancelButtonText(QStringLiteral("Отказ"));
    } else {
      dialog_.setCancelButton(nullptr);
    }
    SetTotal(request.total);
    dialog_.setValue(0);
  }

  bool Update(int64_t done) override {
    dialog_.setValue(static_cast<int>(std::min<int64_t>(done / scale_, dialog_.maximum())));
    // Until the dialog shows, let the windows repaint but keep the user's
    // clicks and keys queued: nothing may start while this runs. Once shown,
    // the modal dialog's own event processing blocks the other windows.
    if (!dialog_.isVisible()) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !dialog_.wasCanceled();
  }

  void SetLabel(const QString &label) override { dialog_.setLabelText(label); }

  void SetTotal(int64_t total) override {
    scale_ = total > INT_MAX ? total / INT_MAX + 1 : 1;
    dialog_.setRange(0, static_cast<int>(std::max<int64_t>(total, 0) / scale_));
  }

 private:
  QProgressDialog dialog_;
  int64_t scale_ = 1;
};

}  // namespace

std::unique_ptr<ProgressSession> MakeQtProgress(const ProgressRequest &request) {
  return std::make_unique<QtProgress>(request);
}

}  // namespace ui
