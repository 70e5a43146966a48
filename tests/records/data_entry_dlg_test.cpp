// The data entry window driven as the user would, over a real dvel.dbf in a
// program directory of its own: the carry-over offer and the directory loop,
// the totals, deleting with the pack (also when another program holds the
// file), the keys, the navigator's rules, the position label, the payer
// panel and the country hint. Message boxes and modal windows go through the
// scripted driver.
#include "records/data_entry_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "records/income_row.h"
#include "records/income_table.h"
#include "records/insert_edit_dlg.h"
#include "records/total_persons_dlg.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "shell/window_flags.h"
#include "support/common/temp_dir.h"
#include "support/qt/qt_printers.h"
#include "support/qt/valid_payer.h"
#include "ui/codepage.h"
#include "ui/db_grid.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_table.h"

namespace records {
namespace {

using B = ui::TXbaseNavigateBtn;

// F02..F10 of a stored row.
struct Row {
  const char *foreign, *kind, *id, *names, *country, *address, *income, *tax, *code;
};
const Row kIvan = {"0", "0", "7501010010", "Иван Петров", "", "", "100.00", "10.00", "101"};
const Row kMaria = {"0", "0", "7501010021", "Мария Иванова", "", "", "250.50", "0.00", "101"};
const Row kGeorge = {"1",      "0",     "7501010032", "George Papas", "GR",
                     "Athens", "40.00", "4.00",       "101"};

const QString kDeleteCaption = QStringLiteral("Изтриване на ред");

class DataEntryDlgTest : public ::testing::Test {
 protected:
  DataEntryDlgTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    EXPECT_TRUE(PrepareIncomeTable(nullptr));
    for (const char *name : {shell::kCountriesTableName, shell::kIncomesTableName}) {
      QFile::copy(QStringLiteral(VEDIL_SOURCE_DIR "/data/tables/") + name,
                  shell::DataFile(QString::fromUtf8(name)));
    }
    shell::PayerRecord payer = testing_support::ValidPayerRecord();
    payer[shell::kStatus] = "StoppedTarget";
    settings::SavePayerRecord(payer);
    window_.SetRecordEditor(&editor_);
    window_.SetPersonsDialog(&persons_);
  }
  ~DataEntryDlgTest() override {
    if (window_.isVisible()) window_.reject();
    shell::InsertMode = shell::EditMode = false;
  }

  static std::string TablePath() {
    return QFile::encodeName(shell::DataFile(shell::kIncomeTableName)).toStdString();
  }

  // Appends rows to `path` (the program's table unless given) while no
  // window has it open.
  static void AddRows(const std::vector<Row> &rows, const std::string &path = TablePath()) {
    xb::XBO_dBHandler table(path, false, true);
    for (const Row &r : rows) {
      table.BlankRecord();
      const std::pair<const char *, const char *> values[] = {
          {kF02, r.foreign}, {kF03, r.kind},   {kF04, r.id},  {kF05, r.names}, {kF06, r.country},
          {kF07, r.address}, {kF08, r.income}, {kF09, r.tax}, {kF10, r.code}};
      for (auto [field, value] : values)
        table.StringPut(field, codepage::ToCp1251(QString::fromUtf8(value)));
      table.AppendRecord();
    }
  }

  // F04 of every record in the file, those marked deleted included ('*').
  static QStringList FileIds() {
    xb::TxbDBFTable table(TablePath(), true, false);
    table.SetUseDeleted(true);
    QStringList ids;
    for (table.GoTop(); !table.IsEOF(); table.SkipNext()) {
      const bool deleted = table.Table().IsDeleted();
      ids << (deleted ? "*" : "") + QString::fromStdString(table.StringGet(kF04));
    }
    return ids;
  }

  // Shows the window and lets its activation run.
  void Show() {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QApplication::processEvents();
  }

  template <typename T>
  T *Get(const char *name) {
    T *w = window_.findChild<T *>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  ui::TDBGrid *Grid() { return Get<ui::TDBGrid>("CRDBGrid1"); }
  ui::TXbaseNavigator *Navigator() { return Get<ui::TXbaseNavigator>("XbaseNavigator1"); }
  QString Text(const char *label) { return Get<QLabel>(label)->text(); }
  QString Current(const char *field) { return RowGet(window_.Table(), field); }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  TDataEntryDlg window_;
  TInsertEditDlg editor_;
  TTotalPersonsDlg persons_;
};

TEST_F(DataEntryDlgTest, EmptyTableOffersTheCarryOverAtEveryOpening) {
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    ui_.ClearRecords();
    ui_.QueueAnswer(ui::Answer::kNo);
    Show();
    ASSERT_EQ(ui_.messages().size(), 2u);
    EXPECT_EQ(ui_.messages()[0].caption, "Внимание !");
    EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kWarning);
    EXPECT_EQ(ui_.messages()[0].buttons, ui::Buttons::kYesNo);
    EXPECT_TRUE(ui_.messages()[0].text.startsWith(
        "\nАко желаете да прехвърлите данни от предходна година,     \n\n"));
    EXPECT_EQ(ui_.messages()[1].caption, "Информация");
    EXPECT_EQ(ui_.messages()[1].text, "Отказ от прехвърляне на данни от предходна година !    ");
    EXPECT_EQ(Grid()->model()->rowCount(), 0);
    EXPECT_EQ(Text("SumF08"), "0.00");
    EXPECT_EQ(Text("SumF09"), "0.00");
    EXPECT_EQ(Text("PositionLabel"), " преглeд");
    window_.reject();
    EXPECT_FALSE(window_.Table().Active());
  }
}

TEST_F(DataEntryDlgTest, DirectoryLoopWarnsUntilCancelled) {
  const QString empty_dir = QString::fromStdString(dir_.File("nothing"));
  QDir().mkpath(empty_dir);
  ui_.QueueAnswer(ui::Answer::kYes);
  ui_.QueueFolder(empty_dir);
  ui_.QueueFolder(empty_dir);
  ui_.QueueFolder(QString());
  Show();
  EXPECT_EQ(ui_.folder_titles(), QStringList(3, "Изберете директория"));
  const QString missing = "В <" + empty_dir +
                          "/> няма файл dvel.dbf     \n"
                          "Изберете друга директория или натиснете Cancel     ";
  EXPECT_EQ(
      ui_.MessageTexts().mid(1),
      QStringList({missing, missing, "Отказ от избор на път до данни от предходна година !    "}));
  EXPECT_EQ(ui_.messages()[1].icon, ui::Icon::kWarning);
  EXPECT_EQ(ui_.messages()[3].caption, "Информация");
}

TEST_F(DataEntryDlgTest, DirectoryWithATableCarriesItsRowsOver) {
  const QString previous = QString::fromStdString(dir_.File("previous"));
  QDir().mkpath(previous);
  const std::string source = QFile::encodeName(previous + "/dvel.dbf").toStdString();
  QFile::copy(shell::DataFile(shell::kIncomeTableName), previous + "/dvel.dbf");
  AddRows({kIvan, kMaria}, source);
  ui_.QueueAnswer(ui::Answer::kYes);  // the offer
  ui_.QueueFolder(QString::fromStdString(dir_.File("nothing")));
  ui_.QueueFolder(previous);
  ui_.QueueAnswer(ui::Answer::kYes);  // the carry-over's confirmation
  Show();
  EXPECT_EQ(ui_.MessageTexts().last(), "Прехвърлени бяха 2 реда от предходна година ");
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  EXPECT_EQ(Text("SumF08"), "0.00");
  EXPECT_EQ(Text("SumF09"), "0.00");
  EXPECT_EQ(window_.Table().RecNo(), 1);
  EXPECT_EQ(Text("PositionLabel"), "1 of 2 преглeд");
}

TEST_F(DataEntryDlgTest, TotalsFollowEverySaveAndTheNextOpening) {
  AddRows({kIvan});
  Show();
  EXPECT_EQ(Text("SumF08"), "100.00");
  xb::TDataSet &table = window_.Table();
  table.Append();
  RowPut(table, kF04, "7501010021");
  RowPut(table, kF08, "250.50");
  RowPut(table, kF09, "0.00");
  table.Post();
  EXPECT_EQ(Text("SumF08"), "350.50");
  EXPECT_EQ(Text("SumF09"), "10.00");
  EXPECT_EQ(window_.IncomeTotalText(), "350.50");
  window_.reject();
  window_.ShowTotals(AmountTotals());
  Show();
  EXPECT_EQ(Text("SumF08"), "350.50");
  EXPECT_EQ(Text("SumF09"), "10.00");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(DataEntryDlgTest, TransferButtonsLeaveTheOtherControlsInPlace) {
  AddRows({kIvan});
  Show();
  const char *kFixed[] = {"XbaseNavigator1", "SpeedButton1", "BitBtn1", "CancelBtn", "CRDBGrid1"};
  auto places = [&] {
    QList<QRect> rects{QRect(QPoint(), window_.size())};
    for (const char *name : kFixed) {
      QWidget *w = Get<QWidget>(name);
      rects << QRect(w->mapTo(&window_, QPoint()), w->size());
    }
    return rects;
  };
  const QList<QRect> with_buttons = places();
  QPushButton *import_btn = Get<QPushButton>("ImportBtn");
  QPushButton *csv_btn = Get<QPushButton>("CsvExportBtn");
  EXPECT_FALSE(import_btn->isEnabled());
  import_btn->hide();
  csv_btn->hide();
  window_.layout()->activate();
  QApplication::processEvents();
  EXPECT_EQ(places(), with_buttons);
  import_btn->show();
  csv_btn->show();

  // The import runs with the table closed, and the window shows what it wrote.
  window_.SetImport([this](TDataEntryDlg &w) {
    w.WithTableClosed([&] {
      EXPECT_FALSE(w.Table().Active());
      AddRows({kMaria});
    });
  });
  ASSERT_TRUE(import_btn->isEnabled());
  import_btn->click();
  EXPECT_TRUE(window_.Table().Active());
  EXPECT_EQ(Text("SumF08"), "350.50");
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  window_.reject();
}

TEST_F(DataEntryDlgTest, DeletingTheSecondOfThreeRowsPacksTheFileAtOnce) {
  AddRows({kIvan, kMaria, kGeorge});
  Show();
  Navigator()->ButtonAction(B::nbNext);
  ui_.QueueAnswer(ui::Answer::kYes);
  Navigator()->ButtonAction(B::nbDelete);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, kDeleteCaption);
  EXPECT_EQ(ui_.messages()[0].text, "Сигурни ли сте ?   ");
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kQuestion);
  EXPECT_EQ(FileIds(), QStringList({"7501010010", "7501010032"}));
  ASSERT_TRUE(window_.Table().Active());
  EXPECT_EQ(window_.Table().RecNo(), 1);
  EXPECT_EQ(Current(kF04), "7501010010");
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  EXPECT_EQ(Text("SumF08"), "140.00");
  EXPECT_EQ(Text("SumF09"), "14.00");
  EXPECT_EQ(Text("PositionLabel"), "1 of 2 преглeд");
  window_.Table().SetRecNo(2);
  EXPECT_EQ(Current(kF04), "7501010032");

  // No keeps the row.
  ui_.QueueAnswer(ui::Answer::kNo);
  Navigator()->ButtonAction(B::nbDelete);
  EXPECT_EQ(FileIds().size(), 2);
}

TEST_F(DataEntryDlgTest, DeletingWhileAnotherProgramHoldsTheFileKeepsTheRowHidden) {
  AddRows({kIvan, kMaria, kGeorge});
  Show();
  auto other = std::make_unique<xb::TxbDBFTable>(TablePath(), true, false);  // holds the file
  window_.Table().SetRecNo(2);
  ui_.QueueAnswer(ui::Answer::kYes);
  QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].caption, "Внимание !");
  EXPECT_EQ(ui_.messages()[1].icon, ui::Icon::kWarning);
  EXPECT_TRUE(ui_.messages()[1].text.startsWith(
      "Файлът dvel.dbf не беше уплътнен, защото се използва от друга програма:\n"));
  EXPECT_TRUE(ui_.messages()[1].text.contains("Access denied to file"))
      << ui_.messages()[1].text.toStdString();
  EXPECT_EQ(FileIds(), QStringList({"7501010010", "*7501010021", "7501010032"}));
  ASSERT_TRUE(window_.Table().Active());
  EXPECT_EQ(Current(kF04), "7501010010");
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  EXPECT_EQ(Text("SumF08"), "140.00");
  EXPECT_EQ(Text("PositionLabel"), "1 of 2 преглeд");
  EXPECT_FALSE(window_.PackTable());  // as the export tries it
  EXPECT_EQ(ui_.messages().size(), 3u) << ui_.MessageTexts().join("|").toStdString();

  // Once the other program lets go, the next deletion packs both rows away.
  other.reset();
  window_.Table().Last();
  ui_.QueueAnswer(ui::Answer::kYes);
  QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(ui_.messages().size(), 4u);
  EXPECT_EQ(FileIds(), QStringList({"7501010010"}));
  EXPECT_EQ(Grid()->model()->rowCount(), 1);
  EXPECT_EQ(Text("SumF08"), "100.00");
}

// A table the window cannot use is said in words, and the window stays
// closed instead of showing an empty year over rows that are still there.
TEST_F(DataEntryDlgTest, ATableHeldByAnotherProgramKeepsTheWindowClosed) {
  AddRows({kIvan, kMaria});
  auto other = std::make_unique<xb::TxbDBFTable>(TablePath(), false, true);  // has it alone
  // Should the window open after all, close it, so that the test fails
  // instead of waiting.
  QTimer::singleShot(3000, &window_, [this] { window_.reject(); });
  EXPECT_EQ(window_.exec(), QDialog::Rejected);
  EXPECT_FALSE(window_.isVisible());
  ASSERT_EQ(ui_.messages().size(), 1u);  // no carry-over offer
  const auto m = ui_.messages()[0];
  EXPECT_EQ(m.caption, "Внимание !");
  EXPECT_EQ(m.icon, ui::Icon::kWarning);
  EXPECT_TRUE(m.text.startsWith("Файлът с данните не може да бъде отворен, защото се използва от "
                                "друга програма:\n" +
                                QDir::toNativeSeparators(shell::DataFile(shell::kIncomeTableName))))
      << m.text.toStdString();
  EXPECT_TRUE(m.text.contains("Редовете в него не са променени."));
  EXPECT_TRUE(m.text.contains("Access denied to file"));

  // Shown without exec, it closes again with the same words.
  window_.show();
  QApplication::processEvents();
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(ui_.MessageTexts().size(), 2);
  EXPECT_EQ(ui_.MessageTexts()[1], m.text);

  other.reset();
  EXPECT_EQ(FileIds(), QStringList({"7501010010", "7501010021"}));
  Show();
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
}

TEST_F(DataEntryDlgTest, AReadOnlyTableKeepsTheWindowClosed) {
  AddRows({kIvan});
  const QString path = shell::DataFile(shell::kIncomeTableName);
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  // The superuser writes read-only files (root on Linux, and under Wine).
  if (QFile file(path); file.open(QIODevice::ReadWrite))
    GTEST_SKIP() << "this user writes read-only files";
  EXPECT_EQ(window_.exec(), QDialog::Rejected);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_TRUE(ui_.messages()[0].text.startsWith(
      "Файлът с данните не може да бъде отворен, защото е само за четене"))
      << ui_.messages()[0].text.toStdString();
  EXPECT_TRUE(ui_.messages()[0].text.contains("Редовете в него не са променени."));
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(FileIds(), QStringList({"7501010010"}));
}

// A laptop screen of 1366 x 768 leaves about 720 pixels under a panel; the
// window with its title bar must fit them, every button inside it.
TEST_F(DataEntryDlgTest, WindowFitsALaptopScreenWithEveryButtonInside) {
  const QSize least = window_.layout()->minimumSize();
  EXPECT_LE(least.height(), 680);
  EXPECT_LE(least.width(), 1366);
  AddRows({kIvan});
  Show();
  for (const char *name : {"XbaseNavigator1", "PositionLabel", "SpeedButton1", "BitBtn1",
                           "CancelBtn", "SumF09"}) {
    SCOPED_TRACE(name);
    auto *w = Get<QWidget>(name);
    EXPECT_TRUE(window_.rect().contains(QRect(w->mapTo(&window_, QPoint()), w->size())));
  }
  EXPECT_GE(Grid()->viewport()->height(), 6 * Grid()->verticalHeader()->defaultSectionSize());
}

TEST_F(DataEntryDlgTest, DeletingFromAnEmptyTableOnlySaysSo) {
  ui_.QueueAnswer(ui::Answer::kNo);  // the carry-over offer
  Show();
  ui_.ClearRecords();
  QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
  Navigator()->ButtonAction(B::nbDelete);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"        Няма данни !", "        Няма данни !     "}));
  for (const auto &m : ui_.messages()) {
    EXPECT_EQ(m.caption, kDeleteCaption);
    EXPECT_EQ(m.icon, ui::Icon::kNone);
  }
  EXPECT_EQ(ui_.unanswered(), 0);
  EXPECT_TRUE(window_.Table().IsEmpty());
}

TEST_F(DataEntryDlgTest, KeysMoveOnlyWithinTheRowsAndEscCloses) {
  AddRows({kIvan, kMaria});
  Show();
  window_.Table().Last();
  QTest::keyClick(Grid(), Qt::Key_Down);
  EXPECT_EQ(window_.Table().State(), xb::TDataSetState::dsBrowse);
  EXPECT_EQ(window_.Table().RecordCount(), 2);
  EXPECT_EQ(Grid()->model()->rowCount(), 2);
  EXPECT_EQ(window_.Table().RecNo(), 2);
  QTest::keyClick(Grid(), Qt::Key_PageUp, Qt::ControlModifier);  // swallowed
  EXPECT_EQ(window_.Table().RecNo(), 2);
  QTest::keyClick(Grid(), Qt::Key_PageUp);
  EXPECT_EQ(window_.Table().RecNo(), 1);
  QTest::keyClick(Grid(), Qt::Key_Down);
  EXPECT_EQ(window_.Table().RecNo(), 2);
  QTest::keyClick(Grid(), Qt::Key_Escape);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_FALSE(window_.Table().Active());
  EXPECT_TRUE(ui_.messages().empty());
}

// A carried-over row has no income code. Editing a condominium row (country
// "BG") stores 820 first, so the editor opens with the condominium kind; an
// interest row tells the user to choose the kind.
TEST_F(DataEntryDlgTest, EditingACarriedOverRowCompletesItFirst) {
  const Row condominium = {"0", "4", "", "", "BG", "София, ул. Витоша 1", "0.00", "0.00", ""};
  const Row interest = {"0", "4", "", "", "", "", "0.00", "0.00", ""};
  AddRows({condominium, interest});
  Show();
  int kind_shown = -1;
  QString stored_code;
  ui_.QueueModal([&](QDialog *dialog) {
    stored_code = QString::fromStdString(xb::TxbDBFTable(TablePath(), true, false).StringGet(kF10));
    dialog->show();
    kind_shown = dialog->findChild<QComboBox *>("ComboBox1")->currentIndex();
    dialog->reject();
    return int(QDialog::Rejected);
  });
  Navigator()->ButtonAction(B::nbEdit);
  EXPECT_TRUE(shell::EditMode);
  EXPECT_FALSE(shell::InsertMode);
  EXPECT_EQ(stored_code, "820");
  EXPECT_EQ(kind_shown, 4);  // "Етажна собственост"
  EXPECT_TRUE(ui_.messages().empty());

  window_.Table().Next();
  Navigator()->ButtonAction(B::nbEdit);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Информация");
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kNone);
  EXPECT_EQ(ui_.messages()[0].text,
            "Изберете от (3) И [Идентификатор]\nЛихви по банкови сметки или\nНеоблагаеми лихви по "
            "банкови сметки");
  EXPECT_EQ(Current(kF10), "");
  EXPECT_EQ(ui_.modals(), QStringList({"TInsertEditDlg", "TInsertEditDlg"}));
  EXPECT_EQ(window_.Table().State(), xb::TDataSetState::dsBrowse);
}

TEST_F(DataEntryDlgTest, PositionLabelFollowsTheRowAndTheEditorsMode) {
  AddRows({kIvan, kMaria, kGeorge});
  Show();
  EXPECT_EQ(Text("PositionLabel"), "1 of 3 преглeд");
  Navigator()->ButtonAction(B::nbNext);
  EXPECT_EQ(Text("PositionLabel"), "2 of 3 преглeд");

  // Ctrl+Ins right after an edit opens the editor in insert mode only.
  QString while_editing, while_inserting;
  ui_.QueueModal([&](QDialog *dialog) {
    dialog->show();
    while_editing = Text("PositionLabel");
    dialog->reject();
    return int(QDialog::Rejected);
  });
  Navigator()->ButtonAction(B::nbEdit);
  ui_.QueueModal([&](QDialog *dialog) {
    EXPECT_TRUE(shell::InsertMode);
    EXPECT_FALSE(shell::EditMode);
    dialog->show();
    while_inserting = Text("PositionLabel");
    dialog->reject();
    return int(QDialog::Rejected);
  });
  QTest::keyClick(Grid(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(while_editing, "2 of 3 редактиране");
  EXPECT_EQ(while_inserting, " нов эапис");
  EXPECT_EQ(Text("PositionLabel"), "2 of 3 преглeд");
  EXPECT_EQ(window_.Table().RecordCount(), 3);
}

TEST_F(DataEntryDlgTest, PayerPanelShowsTheSavedData) {
  AddRows({kIvan});
  Show();
  EXPECT_EQ(Text("YearLabel"), "2019 г.");
  EXPECT_EQ(Text("OwnerNoType"), "ЕИК");
  EXPECT_EQ(Text("OwnerNo"), "121212121");
  EXPECT_EQ(Text("OwnerName"), "Фирма ООД");
  EXPECT_EQ(Text("OwnerNM"), "гр.София");
  EXPECT_EQ(Text("OwnerAddress"), settings::ComposeAddress());
  EXPECT_FALSE(Text("OwnerAddress").isEmpty());
  EXPECT_TRUE(Get<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("CheckBox2")->isChecked());

  // Another status is shown at the next opening; an unknown one changes nothing.
  window_.reject();
  shell::PayerRecord payer = testing_support::ValidPayerRecord();
  payer[shell::kStatus] = "Target";
  settings::SavePayerRecord(payer);
  Show();
  EXPECT_FALSE(Get<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("CheckBox2")->isChecked());
  window_.reject();
  payer[shell::kStatus] = "Closed";
  settings::SavePayerRecord(payer);
  Show();
  EXPECT_FALSE(Get<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("CheckBox2")->isChecked());
}

TEST_F(DataEntryDlgTest, ClickOnTheCountryShowsItsNameAsTheHint) {
  AddRows({kGeorge, kIvan});
  Show();
  auto click = [this](int row, int column) {
    const QRect cell = Grid()->visualRect(Grid()->model()->index(row, column));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
  };
  click(0, 4);
  EXPECT_EQ(Grid()->Hint(), "Гърция");
  click(0, 5);
  EXPECT_EQ(Grid()->Hint(), "");
  click(0, 4);
  click(1, 4);  // a row without a country
  EXPECT_EQ(Grid()->Hint(), "");
}

}  // namespace
}  // namespace records
