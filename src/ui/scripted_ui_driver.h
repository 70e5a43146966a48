// A UI driver for tests: installed for its lifetime, it records every message
// box, file and folder choice, copy and modal showing, and answers from a
// script the test queued beforehand. Nothing is shown.
//
//   ui::ScriptedUiDriver ui;
//   ui.QueueAnswer(ui::Answer::kNo);
//   window.close();
//   ASSERT_EQ(ui.messages().size(), 1u);
//   EXPECT_EQ(ui.messages()[0].text, "...");
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "ui/ui_driver.h"

namespace ui {

class ScriptedUiDriver : public UiDriver {
 public:
  struct MessageCall {
    QString caption;
    QString text;
    Icon icon;
    Buttons buttons;
    Answer answer;
    QString focus_name;  // objectName of the widget that had the focus
  };
  struct CopyCall {
    QString file;
    QString folder;
    bool result;
  };
  // One progress dialog the program opened, as it stands when looked at.
  struct ProgressCall {
    QString caption;
    QString label;
    int64_t total = 0;
    Cancel cancel = Cancel::kNotAllowed;
    int updates = 0;        // steps that reached the dialog
    int64_t last_done = -1; // the last step shown
    bool cancelled = false; // the script pressed "Отказ"
    bool closed = false;    // the operation has ended and closed it
  };
  // Runs in place of a modal dialog: may change its controls, press its
  // buttons; returns the result code ShowModal gives.
  using ModalHandler = std::function<int(QDialog *)>;

  ScriptedUiDriver();            // installs itself
  ~ScriptedUiDriver() override;  // reinstalls the driver that was there before
  ScriptedUiDriver(const ScriptedUiDriver &) = delete;
  ScriptedUiDriver &operator=(const ScriptedUiDriver &) = delete;

  // Answers for the next boxes that offer a choice (more than an OK button),
  // in order. A box with only an OK button takes no answer. A box with a
  // choice and no queued answer gets No (or Cancel) and counts as unanswered.
  void QueueAnswer(Answer answer);
  void QueueOpenFile(const OpenFileResult &result);
  void QueueFolder(const QString &folder);
  void QueueModal(ModalHandler handler);
  // The next copy fails without touching the disk.
  void FailNextCopy();
  // The next progress dialog with a cancel button is cancelled by the user
  // as soon as a step of at least `done` reaches it.
  void CancelProgressAt(int64_t done);

  const std::vector<MessageCall> &messages() const { return messages_; }
  const std::vector<OpenFileRequest> &open_file_requests() const { return open_files_; }
  const QStringList &folder_titles() const { return folder_titles_; }
  const std::vector<CopyCall> &copies() const { return copies_; }
  // objectNames of the dialogs shown modally, in order.
  const QStringList &modals() const { return modals_; }
  const std::vector<ProgressCall> &progress() const { return progress_; }
  int unanswered() const { return unanswered_; }
  // Texts of the recorded message boxes.
  QStringList MessageTexts() const;
  void ClearRecords();

  Answer ShowMessage(const MessageRequest &request) override;
  OpenFileResult OpenFile(const OpenFileRequest &request) override;
  QString ChooseFolder(QWidget *owner, const QString &title) override;
  bool CopyFileToFolder(const QString &file, const QString &folder) override;
  int ShowModal(QDialog *dialog) override;
  std::unique_ptr<ProgressSession> BeginProgress(const ProgressRequest &request) override;

 private:
  class Session;
  UiDriver *previous_;
  std::deque<Answer> answers_;
  std::deque<OpenFileResult> open_file_results_;
  std::deque<QString> folders_;
  std::deque<ModalHandler> modal_handlers_;
  bool fail_next_copy_ = false;
  std::vector<MessageCall> messages_;
  std::vector<OpenFileRequest> open_files_;
  QStringList folder_titles_;
  std::vector<CopyCall> copies_;
  QStringList modals_;
  std::vector<ProgressCall> progress_;
  std::deque<int64_t> cancel_at_;
  int unanswered_ = 0;
};

}  // namespace ui
