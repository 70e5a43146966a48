// See scripted_ui_driver.h.
#include "ui/scripted_ui_driver.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include "ui/file_copy.h"

namespace ui {

// Records into the driver's list by index: the list may grow while a
// session is open (an operation inside an operation), or be cleared.
class ScriptedUiDriver::Session : public ProgressSession {
 public:
  Session(ScriptedUiDriver &driver, size_t index, int64_t cancel_at)
      : driver_(driver), index_(index), cancel_at_(cancel_at) {}
  ~Session() override {
    if (index_ < driver_.progress_.size()) Call().closed = true;
  }

  bool Update(int64_t done) override {
    ProgressCall &call = Call();
    ++call.updates;
    call.last_done = done;
    if (cancel_at_ >= 0 && done >= cancel_at_) call.cancelled = true;
    return !call.cancelled;
  }
  void SetLabel(const QString &label) override { Call().label = label; }
  void SetTotal(int64_t total) override { Call().total = total; }
  int64_t UpdateIntervalMs() const override { return 0; }

 private:
  ProgressCall &Call() { return driver_.progress_[index_]; }

  ScriptedUiDriver &driver_;
  size_t index_;
  int64_t cancel_at_;
};

ScriptedUiDriver::ScriptedUiDriver() : previous_(SetDriver(this)) {}

ScriptedUiDriver::~ScriptedUiDriver() { SetDriver(previous_); }

void ScriptedUiDriver::QueueAnswer(Answer answer) { answers_.push_back(answer); }
void ScriptedUiDriver::QueueOpenFile(const OpenFileResult &result) {
  open_file_results_.push_back(result);
}
void ScriptedUiDriver::QueueFolder(const QString &folder) { folders_.push_back(folder); }
void ScriptedUiDriver::QueueModal(ModalHandler handler) {
  modal_handlers_.push_back(std::move(handler));
}
void ScriptedUiDriver::FailNextCopy() { fail_next_copy_ = true; }
void ScriptedUiDriver::CancelProgressAt(int64_t done) { cancel_at_.push_back(done); }

QStringList ScriptedUiDriver::MessageTexts() const {
  QStringList texts;
  for (const MessageCall &m : messages_) texts << m.text;
  return texts;
}

void ScriptedUiDriver::ClearRecords() {
  messages_.clear();
  open_files_.clear();
  folder_titles_.clear();
  copies_.clear();
  modals_.clear();
  progress_.clear();
  unanswered_ = 0;
}

Answer ScriptedUiDriver::ShowMessage(const MessageRequest &request) {
  Answer answer = Answer::kOk;
  if (request.buttons != Buttons::kOk) {
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else {
      ++unanswered_;
      answer = request.buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
    }
  }
  QWidget *focus = QApplication::focusWidget();
  messages_.push_back(MessageCall{request.caption, request.text, request.icon, request.buttons,
                                  answer, focus != nullptr ? focus->objectName() : QString()});
  return answer;
}

OpenFileResult ScriptedUiDriver::OpenFile(const OpenFileRequest &request) {
  open_files_.push_back(request);
  if (open_file_results_.empty()) return OpenFileResult{};
  OpenFileResult result = open_file_results_.front();
  open_file_results_.pop_front();
  return result;
}

QString ScriptedUiDriver::ChooseFolder(QWidget *, const QString &title) {
  folder_titles_ << title;
  if (folders_.empty()) return QString();
  QString folder = folders_.front();
  folders_.pop_front();
  return folder;
}

bool ScriptedUiDriver::CopyFileToFolder(const QString &file, const QString &folder) {
  bool result = false;
  if (fail_next_copy_) {
    fail_next_copy_ = false;
  } else {
    result = CopyFileIntoFolder(file, folder);
  }
  copies_.push_back(CopyCall{file, folder, result});
  return result;
}

int ScriptedUiDriver::ShowModal(QDialog *dialog) {
  modals_ << dialog->objectName();
  if (modal_handlers_.empty()) return QDialog::Rejected;
  ModalHandler handler = std::move(modal_handlers_.front());
  modal_handlers_.pop_front();
  return handler(dialog);
}

std::unique_ptr<ProgressSession> ScriptedUiDriver::BeginProgress(const ProgressRequest &request) {
  int64_t cancel_at = -1;
  if (request.cancel == Cancel::kAllowed && !cancel_at_.empty()) {
    cancel_at = cancel_at_.front();
    cancel_at_.pop_front();
  }
  ProgressCall call;
  call.caption = request.caption;
  call.label = request.label;
  call.total = request.total;
  call.cancel = request.cancel;
  progress_.push_back(call);
  return std::make_unique<Session>(*this, progress_.size() - 1, cancel_at);
}

}  // namespace ui
