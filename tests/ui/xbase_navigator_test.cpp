// The navigator: enabling by dataset state, actions and their callbacks, the
// delete question, hints, layout and keys; headless, on an in-memory dataset.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "support/common/memory_dataset.h"
#include "ui/scripted_ui_driver.h"
#include "ui/xbase_navigator.h"

namespace {

using testing_support::TMemoryDataSet;
using ui::TXbaseNavigateBtn;
using B = TXbaseNavigateBtn;

class NavigatorTest : public testing::Test {
 protected:
  NavigatorTest() : ds({{"CODE", xb::TFieldType::ftString, 3}}), source(&ds) {
    for (const char *code : {"001", "002", "003"}) ds.AddRow({code});
    nav.SetDataSource(&source);
  }
  // The enabled buttons as a string of 12 flags, "1" for enabled.
  std::string Enabled() {
    std::string s;
    for (int i = 0; i < ui::kNavButtonCount; ++i)
      s += nav.Button(static_cast<B>(i))->isEnabled() ? '1' : '0';
    return s;
  }
  TMemoryDataSet ds;
  xb::TDataSource source;
  ui::TXbaseNavigator nav;
};

TEST_F(NavigatorTest, ButtonsFollowTheDataset) {
  //                       T P N B I C E D S X F R
  EXPECT_EQ(Enabled(), "000000000000");  // inactive
  ds.Open();
  EXPECT_EQ(Enabled(), "001111110011");  // first record
  ds.Next();
  EXPECT_EQ(Enabled(), "111111110011");
  ds.Last();
  EXPECT_EQ(Enabled(), "110011110011");  // last record
  ds.Edit();
  EXPECT_EQ(Enabled(), "110000001100");  // editing
  ds.Cancel();
  ds.Insert();
  EXPECT_EQ(Enabled(), "111100001100");
  ds.Cancel();
  ds.ReadOnly = true;
  ds.First();
  EXPECT_EQ(Enabled(), "001100000001");  // cannot be modified
  ds.ReadOnly = false;
  nav.setEnabled(false);
  EXPECT_EQ(Enabled(), "000000000000");
  nav.setEnabled(true);
  ds.Close();
  EXPECT_EQ(Enabled(), "000000000000");
}

// Editing or deleting on an empty dataset would act on a row that is not
// there; both come on with the first row.
TEST(NavigatorEmpty, EditAndDeleteAreOffOnAnEmptyDataset) {
  TMemoryDataSet ds({{"CODE", xb::TFieldType::ftString, 3}});
  xb::TDataSource source(&ds);
  ui::TXbaseNavigator nav;
  nav.SetDataSource(&source);
  ds.Open();
  EXPECT_FALSE(nav.Button(B::nbEdit)->isEnabled());
  EXPECT_FALSE(nav.Button(B::nbDelete)->isEnabled());
  EXPECT_TRUE(nav.Button(B::nbInsert)->isEnabled());
  ds.Append();
  ds.FieldByName("CODE").SetAsString("001");
  ds.Post();
  EXPECT_TRUE(nav.Button(B::nbEdit)->isEnabled());
  EXPECT_TRUE(nav.Button(B::nbDelete)->isEnabled());
}

TEST_F(NavigatorTest, InactiveDatasetGetsOnlyOnClick) {
  std::vector<std::string> log;
  nav.BeforeAction = [&](ui::TXbaseNavigator &, B b) {
    log.push_back("before " + std::to_string(int(b)));
  };
  nav.OnClick = [&](ui::TXbaseNavigator &, B b) {
    log.push_back("click " + std::to_string(int(b)));
  };
  nav.ButtonAction(B::nbNext);
  EXPECT_EQ(log, std::vector<std::string>{"click 2"});
  ds.Open();
  log.clear();
  ds.AfterScroll = [&](xb::TDataSet &) { log.push_back("scroll"); };
  nav.ButtonAction(B::nbNext);
  EXPECT_EQ(log, (std::vector<std::string>{"before 2", "scroll", "click 2"}));
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  ds.AfterScroll = nullptr;
}

TEST_F(NavigatorTest, BeforeActionAbandonsTheButtonSilently) {
  ds.Open();
  bool clicked = false;
  nav.BeforeAction = [](ui::TXbaseNavigator &, B) { throw ui::EAbortAction(); };
  nav.OnClick = [&](ui::TXbaseNavigator &, B) { clicked = true; };
  nav.ButtonAction(B::nbNext);
  nav.ButtonAction(B::nbEdit);
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  EXPECT_EQ(ds.State(), xb::TDataSetState::dsBrowse);
  EXPECT_FALSE(clicked);
}

TEST_F(NavigatorTest, ActionsDriveTheDataset) {
  ds.Open();
  bool copied = false, found = false;
  nav.OnCopyClick = [&](xb::TDataSet &) { copied = true; };
  nav.OnFindClick = [&](xb::TDataSet &) { found = true; };
  nav.ButtonAction(B::nbBttm);
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  nav.ButtonAction(B::nbPrev);
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  nav.ButtonAction(B::nbTop);
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  nav.ButtonAction(B::nbEdit);
  EXPECT_EQ(ds.State(), xb::TDataSetState::dsEdit);
  ds.FieldByName("CODE").SetAsString("009");
  nav.ButtonAction(B::nbPost);
  EXPECT_EQ(ds.Rows()[0][0], "009");
  nav.ButtonAction(B::nbInsert);
  EXPECT_EQ(ds.State(), xb::TDataSetState::dsInsert);
  nav.ButtonAction(B::nbCancel);
  EXPECT_EQ(ds.State(), xb::TDataSetState::dsBrowse);
  nav.ButtonAction(B::nbCopy);
  nav.ButtonAction(B::nbFind);
  EXPECT_TRUE(copied && found);
}

TEST_F(NavigatorTest, DeleteAsksUnlessConfirmDeleteIsOff) {
  ui::ScriptedUiDriver driver;
  ds.Open();
  driver.QueueAnswer(ui::Answer::kCancel);
  nav.ButtonAction(B::nbDelete);
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0].text, "Delete record?");
  EXPECT_EQ(driver.messages()[0].buttons, ui::Buttons::kOkCancel);
  EXPECT_EQ(ds.RecordCount(), 3);
  driver.QueueAnswer(ui::Answer::kOk);
  nav.ButtonAction(B::nbDelete);
  EXPECT_EQ(ds.RecordCount(), 2);
  nav.ConfirmDelete = false;
  nav.ButtonAction(B::nbDelete);
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(driver.messages().size(), 2u);
}

TEST_F(NavigatorTest, HintsReplaceDefaultsLineByLine) {
  EXPECT_EQ(nav.Button(B::nbCopy)->toolTip(), " Copy record");
  QStringList hints(13, QString());
  hints[1] = QStringLiteral("Предишен");
  hints[12] = QStringLiteral("ignored");
  nav.SetHints(hints);
  EXPECT_EQ(nav.Button(B::nbTop)->toolTip(), "First record");
  EXPECT_EQ(nav.Button(B::nbPrev)->toolTip(), QStringLiteral("Предишен"));
  EXPECT_EQ(nav.Button(B::nbRefresh)->toolTip(), "Refresh data");
}

TEST_F(NavigatorTest, VisibleButtonsShareTheWidthAndKeysMoveBetweenThem) {
  nav.SetVisibleButtons(ui::AllNavButtons() & ~ui::NavButtonBit(B::nbCopy) &
                        ~ui::NavButtonBit(B::nbFind));
  nav.show();
  nav.resize(241, 25);
  EXPECT_EQ(nav.width(), 240);  // ten buttons of 24
  EXPECT_EQ(nav.Button(B::nbNext)->geometry(), QRect(48, 0, 24, 25));
  EXPECT_EQ(nav.Button(B::nbEdit)->x(), 120);  // copy is skipped
  EXPECT_FALSE(nav.Button(B::nbCopy)->isVisibleTo(&nav));
  ds.Open();
  EXPECT_EQ(nav.FocusedButton(), 0);
  QTest::keyClick(&nav, Qt::Key_Right);
  QTest::keyClick(&nav, Qt::Key_Right);
  EXPECT_EQ(nav.FocusedButton(), int(B::nbNext));
  QTest::keyClick(&nav, Qt::Key_Space);
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  for (int i = 0; i < 3; ++i) QTest::keyClick(&nav, Qt::Key_Right);
  EXPECT_EQ(nav.FocusedButton(), int(B::nbEdit));
  QTest::keyClick(&nav, Qt::Key_Left);
  EXPECT_EQ(nav.FocusedButton(), int(B::nbInsert));
  EXPECT_TRUE(nav.Button(B::nbPrev)->autoRepeat());
  EXPECT_EQ(nav.Button(B::nbPrev)->autoRepeatDelay(), 400);
  EXPECT_EQ(nav.Button(B::nbNext)->autoRepeatInterval(), 100);
}

TEST(NavigatorGlyphs, EachHasANormalAndADisabledImage) {
  for (int i = 0; i < ui::kNavButtonCount; ++i) {
    const QImage image = ui::NavGlyph(static_cast<B>(i)).toImage();
    ASSERT_EQ(image.size(), QSize(32, 16));
    int normal = 0, disabled = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x)
        if (qAlpha(image.pixel(x, y)) > 0) ++(x < 16 ? normal : disabled);
    EXPECT_GT(normal, 5) << ui::NavGlyphName(static_cast<B>(i));
    EXPECT_GT(disabled, 5) << ui::NavGlyphName(static_cast<B>(i));
  }
}

}  // namespace
