// The progress of long operations: what reaches the dialog, cancelling, and
// the real dialog's appearance and cancel button.
#include "ui/progress.h"

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "ui/qt_ui_driver.h"
#include "ui/scripted_ui_driver.h"

namespace {

TEST(Progress, StepsReachTheDialogUntilTheUserCancels) {
  ui::ScriptedUiDriver driver;
  driver.CancelProgressAt(3);
  {
    ui::Progress progress(nullptr, "Заглавие", "Редове", 10, ui::Cancel::kAllowed);
    EXPECT_TRUE(progress.Step(1));
    EXPECT_TRUE(progress.Step(2));
    EXPECT_FALSE(progress.Step(3));
    EXPECT_TRUE(progress.Cancelled());
    EXPECT_FALSE(progress.Step(4));  // stays cancelled, nothing more shown
    ASSERT_EQ(driver.progress().size(), 1u);
    EXPECT_FALSE(driver.progress()[0].closed);
  }
  const auto &call = driver.progress()[0];
  EXPECT_EQ(call.caption, "Заглавие");
  EXPECT_EQ(call.label, "Редове");
  EXPECT_EQ(call.total, 10);
  EXPECT_EQ(call.updates, 3);
  EXPECT_EQ(call.last_done, 3);
  EXPECT_TRUE(call.cancelled);
  EXPECT_TRUE(call.closed);
}

TEST(Progress, AnOperationWithoutCancelIgnoresAScriptedCancel) {
  ui::ScriptedUiDriver driver;
  driver.CancelProgressAt(0);
  ui::Progress fixed(nullptr, "А", "Б", 2, ui::Cancel::kNotAllowed);
  EXPECT_TRUE(fixed.Step(2));
  // The queued cancel waits for the next dialog that offers one.
  ui::Progress cancellable(nullptr, "А", "Б", 2, ui::Cancel::kAllowed);
  EXPECT_FALSE(cancellable.Step(1));
}

TEST(Progress, TheCallbackReplacesTheTotalAndReportsTheCancel) {
  ui::ScriptedUiDriver driver;
  driver.CancelProgressAt(50);
  ui::Progress progress(nullptr, "А", "Б", 0, ui::Cancel::kAllowed);
  auto step = progress.Callback();
  EXPECT_TRUE(step(10, 100));
  EXPECT_EQ(driver.progress()[0].total, 100);
  EXPECT_FALSE(step(50, 100));
}

TEST(Progress, TheRealDialogAppearsAfterHalfASecondAndItsButtonCancels) {
  ui::QtUiDriver qt;
  auto session = qt.BeginProgress({nullptr, "Заглавие", "Редове", 100, ui::Cancel::kAllowed});
  EXPECT_TRUE(session->Update(1));
  QTest::qWait(650);
  EXPECT_TRUE(session->Update(2));
  QProgressDialog *dialog = nullptr;
  for (QWidget *w : QApplication::topLevelWidgets()) {
    if (auto *d = qobject_cast<QProgressDialog *>(w); d != nullptr && d->isVisible()) dialog = d;
  }
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Заглавие");
  auto *cancel = dialog->findChild<QPushButton *>();
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Отказ");
  cancel->click();
  EXPECT_FALSE(session->Update(3));
  session.reset();
}

}  // namespace
