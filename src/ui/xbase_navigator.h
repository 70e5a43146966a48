// TXbaseNavigator: a row of twelve buttons (first, prior, next, last, insert,
// copy, edit, delete, post, cancel, find, refresh) that drives the dataset of
// a data source and enables each button by the dataset's state.
//
//   TXbaseNavigator nav(window);
//   nav.SetDataSource(&source);
//   nav.SetVisibleButtons(AllNavButtons() & ~NavButtonBit(nbCopy));
//   nav.SetHints({"Първи", ...});       // non-empty lines replace the defaults
//   nav.ConfirmDelete = false;
//   nav.BeforeAction = [](TXbaseNavigator &, TXbaseNavigateBtn b) {...};
//   nav.ButtonAction(TXbaseNavigateBtn::nbNext);  // as a click does
#pragma once

#include <QAbstractButton>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "xbase/dataset/dataset.h"

namespace ui {

enum class TXbaseNavigateBtn {
  nbTop,
  nbPrev,
  nbNext,
  nbBttm,
  nbInsert,
  nbCopy,
  nbEdit,
  nbDelete,
  nbPost,
  nbCancel,
  nbFind,
  nbRefresh,
};
constexpr int kNavButtonCount = 12;

// A set of buttons: bit i stands for the button of ordinal i.
using TXbaseButtonSet = unsigned;
constexpr TXbaseButtonSet NavButtonBit(TXbaseNavigateBtn b) { return 1u << static_cast<int>(b); }
constexpr TXbaseButtonSet AllNavButtons() { return (1u << kNavButtonCount) - 1; }

// The glyph name of a button ("TOP", "PREVIOUS", ...) and its default hint.
const char *NavGlyphName(TXbaseNavigateBtn b);
QString NavDefaultHint(TXbaseNavigateBtn b);
// The glyph bitmap named "xbnav_" + glyph name: two square images side by
// side, normal on the left, disabled on the right.
QPixmap NavGlyph(TXbaseNavigateBtn b);

class TXbaseNavigator;

// Thrown by a BeforeAction handler to abandon the button silently: neither
// the button's action nor OnClick runs, and nothing is shown.
struct EAbortAction {};

// One button of the navigator: paints its glyph (the disabled image while
// disabled) and the navigator's focus rectangle.
class TXbaseNavButton : public QAbstractButton {
  Q_OBJECT
 public:
  TXbaseNavButton(TXbaseNavigator *navigator, TXbaseNavigateBtn index);
  TXbaseNavigateBtn Index() const { return index_; }
  QSize sizeHint() const override { return {20, 18}; }

 protected:
  void paintEvent(QPaintEvent *event) override;

 private:
  TXbaseNavigator *navigator_;
  TXbaseNavigateBtn index_;
  QPixmap glyph_;
};

class TXbaseNavigator : public QWidget {
  Q_OBJECT
 public:
  using EXbaseNavClick = std::function<void(TXbaseNavigator &, TXbaseNavigateBtn)>;

  explicit TXbaseNavigator(QWidget *parent = nullptr);
  ~TXbaseNavigator() override;

  xb::TDataSource *DataSource() const { return link_.DataSource(); }
  void SetDataSource(xb::TDataSource *source);

  TXbaseButtonSet VisibleButtons() const { return visible_; }
  void SetVisibleButtons(TXbaseButtonSet buttons);
  bool Flat() const { return flat_; }
  void SetFlat(bool flat);
  // Line i, when not empty, replaces the default hint of button i.
  const QStringList &Hints() const { return hints_; }
  void SetHints(const QStringList &hints);
  QString Hint(TXbaseNavigateBtn b) const;
  bool ConfirmDelete = true;

  EXbaseNavClick BeforeAction;
  EXbaseNavClick OnClick;
  std::function<void(xb::TDataSet &)> OnCopyClick;
  std::function<void(xb::TDataSet &)> OnFindClick;

  // Does nothing unless the dataset is active; else BeforeAction, the
  // button's action, then OnClick (which is called in any case, unless
  // BeforeAction abandoned the button with EAbortAction).
  void ButtonAction(TXbaseNavigateBtn b);

  TXbaseNavButton *Button(TXbaseNavigateBtn b) const { return buttons_[static_cast<int>(b)]; }
  // The button that Space clicks; -1 when none is visible.
  int FocusedButton() const { return focused_; }
  QSize sizeHint() const override { return {241, 25}; }

 protected:
  void resizeEvent(QResizeEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void changeEvent(QEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;

 private:
  class Link : public xb::TDataLink {
   public:
    explicit Link(TXbaseNavigator &owner) : owner_(owner) {}

   protected:
    void ActiveChanged() override { owner_.UpdateButtons(); }
    void EditingChanged() override { owner_.UpdateButtons(); }
    void DataSetChanged() override { owner_.UpdateButtons(); }
    void DataSetScrolled(int) override { owner_.UpdateButtons(); }

   private:
    TXbaseNavigator &owner_;
  };
  friend class TXbaseNavButton;
  void UpdateButtons();
  void LayoutButtons();
  void MoveFocus(int direction);

  Link link_;
  std::array<TXbaseNavButton *, kNavButtonCount> buttons_{};
  TXbaseButtonSet visible_ = AllNavButtons();
  bool flat_ = false;
  QStringList hints_;
  int focused_ = 0;
};

}  // namespace ui
