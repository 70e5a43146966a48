// See scripted_ui_driver.h.
#include "ui/scripted_ui_driver.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include "ui/file_copy.h"

namespace ui {

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

}  // namespace ui
