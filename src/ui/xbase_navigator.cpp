// The navigator's buttons, their enabling rules, actions and keys; see
// xbase_navigator.h.
#include "ui/xbase_navigator.h"

#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/ui_driver.h"

namespace ui {
namespace {

constexpr int kMinButtonWidth = 20;
constexpr int kMinButtonHeight = 18;

}  // namespace

// ---- Buttons ------------------------------------------------------------------

TXbaseNavButton::TXbaseNavButton(TXbaseNavigator *navigator, TXbaseNavigateBtn index)
    : QAbstractButton(navigator), navigator_(navigator), index_(index), glyph_(NavGlyph(index)) {
  setFocusPolicy(Qt::NoFocus);
  setObjectName(QStringLiteral("xbnav_") + QLatin1String(NavGlyphName(index)));
  if (index == TXbaseNavigateBtn::nbPrev || index == TXbaseNavigateBtn::nbNext) {
    setAutoRepeat(true);  // prior and next repeat while held
    setAutoRepeatDelay(400);
    setAutoRepeatInterval(100);
  }
}

void TXbaseNavButton::paintEvent(QPaintEvent *) {
  QStylePainter p(this);
  if (!navigator_->Flat() || (underMouse() && isEnabled()) || isDown()) {
    QStyleOptionButton option;
    option.initFrom(this);
    if (isDown())
      option.state |= QStyle::State_Sunken;
    else
      option.state |= QStyle::State_Raised;
    p.drawControl(QStyle::CE_PushButtonBevel, option);
  }
  const int half = glyph_.width() / 2;
  const QRect source(isEnabled() ? 0 : half, 0, half, glyph_.height());
  QRect target(0, 0, half, glyph_.height());
  target.moveCenter(rect().center());
  if (isDown()) target.translate(1, 1);
  p.drawPixmap(target, glyph_, source);
  if (navigator_->hasFocus() && navigator_->FocusedButton() == static_cast<int>(index_)) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

// ---- Navigator -------------------------------------------------------------------

TXbaseNavigator::TXbaseNavigator(QWidget *parent) : QWidget(parent), link_(*this) {
  setFocusPolicy(Qt::StrongFocus);
  for (int i = 0; i < kNavButtonCount; ++i) {
    const auto b = static_cast<TXbaseNavigateBtn>(i);
    buttons_[i] = new TXbaseNavButton(this, b);
    buttons_[i]->setToolTip(NavDefaultHint(b));
    connect(buttons_[i], &QAbstractButton::clicked, this, [this, b] { ButtonAction(b); });
  }
  resize(241, 25);
  UpdateButtons();
}

TXbaseNavigator::~TXbaseNavigator() { link_.SetDataSource(nullptr); }

void TXbaseNavigator::SetDataSource(xb::TDataSource *source) {
  link_.SetDataSource(source);
  UpdateButtons();
}

void TXbaseNavigator::SetVisibleButtons(TXbaseButtonSet buttons) {
  visible_ = buttons & AllNavButtons();
  if (focused_ >= 0 && !(visible_ & (1u << focused_))) {
    focused_ = -1;
    MoveFocus(1);
  } else if (focused_ < 0) {
    MoveFocus(1);
  }
  LayoutButtons();
}

void TXbaseNavigator::SetFlat(bool flat) {
  flat_ = flat;
  for (auto *b : buttons_) b->setAttribute(Qt::WA_Hover, flat), b->update();
}

void TXbaseNavigator::SetHints(const QStringList &hints) {
  hints_ = hints;
  for (int i = 0; i < kNavButtonCount; ++i)
    buttons_[i]->setToolTip(Hint(static_cast<TXbaseNavigateBtn>(i)));
}

QString TXbaseNavigator::Hint(TXbaseNavigateBtn b) const {
  const int i = static_cast<int>(b);
  if (i < hints_.size() && !hints_[i].isEmpty()) return hints_[i];
  return NavDefaultHint(b);
}

void TXbaseNavigator::UpdateButtons() {
  using B = TXbaseNavigateBtn;
  xb::TDataSet *ds = link_.DataSet();
  const bool active = link_.Active() && ds != nullptr;
  const bool bof = active && ds->Bof();
  const bool eof = active && ds->Eof();
  const bool editing = active && link_.Editing();
  const bool canModify = active && ds->CanModify();
  auto set = [this](B b, bool on) { Button(b)->setEnabled(on); };
  set(B::nbTop, active && !bof);
  set(B::nbPrev, active && !bof);
  set(B::nbNext, active && !eof);
  set(B::nbBttm, active && !eof);
  set(B::nbInsert, canModify && !editing);
  set(B::nbCopy, canModify && !editing);
  // Editing and deleting need a row to act on.
  const bool empty = bof && eof;
  set(B::nbEdit, canModify && !editing && !empty);
  set(B::nbDelete, canModify && !editing && !empty);
  set(B::nbPost, canModify && editing);
  set(B::nbCancel, canModify && editing);
  set(B::nbFind, canModify && !editing);
  set(B::nbRefresh, active && !editing);
}

void TXbaseNavigator::ButtonAction(TXbaseNavigateBtn b) {
  using B = TXbaseNavigateBtn;
  xb::TDataSet *ds = link_.DataSet();
  if (ds && ds->Active() && DataSource()->Enabled()) {
    if (BeforeAction) {
      try {
        BeforeAction(*this, b);
      } catch (const EAbortAction &) {
        return;
      }
    }
    switch (b) {
      case B::nbTop:
        ds->First();
        break;
      case B::nbPrev:
        ds->Prior();
        break;
      case B::nbNext:
        ds->Next();
        break;
      case B::nbBttm:
        ds->Last();
        break;
      case B::nbInsert:
        ds->Insert();
        break;
      case B::nbCopy:
        if (OnCopyClick) OnCopyClick(*ds);
        break;
      case B::nbEdit:
        ds->Edit();
        break;
      case B::nbDelete:
        if (!ConfirmDelete ||
            MessageBox(this, QStringLiteral("Confirm"), QStringLiteral("Delete record?"),
                       Icon::kQuestion, Buttons::kOkCancel) == Answer::kOk)
          ds->Delete();
        break;
      case B::nbPost:
        ds->Post();
        break;
      case B::nbCancel:
        ds->Cancel();
        break;
      case B::nbFind:
        if (OnFindClick) OnFindClick(*ds);
        break;
      case B::nbRefresh:
        ds->Refresh();
        break;
    }
  }
  if (OnClick) OnClick(*this, b);
}

void TXbaseNavigator::LayoutButtons() {
  int count = 0;
  for (int i = 0; i < kNavButtonCount; ++i) count += (visible_ >> i) & 1;
  if (count == 0) {
    for (auto *b : buttons_) b->setGeometry(-100, -100, 0, 0);
    return;
  }
  const int w = std::max(kMinButtonWidth, width() / count);
  const int h = std::max(kMinButtonHeight, height());
  // A free panel takes the width its buttons fill; one in a layout keeps the
  // width it is given.
  const bool aligned =
      parentWidget() && parentWidget()->layout() && parentWidget()->layout()->indexOf(this) >= 0;
  if (!aligned && width() != w * count) resize(w * count, height());
  int x = 0;
  for (int i = 0; i < kNavButtonCount; ++i) {
    if ((visible_ >> i) & 1) {
      buttons_[i]->setGeometry(x, 0, w, h);
      buttons_[i]->show();
      x += w;
    } else {
      buttons_[i]->setGeometry(-w - 100, 0, w, h);  // out of sight
      buttons_[i]->hide();
    }
  }
}

void TXbaseNavigator::resizeEvent(QResizeEvent *) { LayoutButtons(); }

void TXbaseNavigator::MoveFocus(int direction) {
  for (int step = 1; step <= kNavButtonCount; ++step) {
    const int i = focused_ < 0 ? (direction > 0 ? step - 1 : kNavButtonCount - step)
                               : focused_ + direction * step;
    if (i < 0 || i >= kNavButtonCount) return;
    if ((visible_ >> i) & 1) {
      focused_ = i;
      for (auto *b : buttons_) b->update();
      return;
    }
  }
}

void TXbaseNavigator::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
    case Qt::Key_Space:
      if (focused_ >= 0 && buttons_[focused_]->isEnabled()) buttons_[focused_]->click();
      break;
    case Qt::Key_Left:
      MoveFocus(-1);
      break;
    case Qt::Key_Right:
      MoveFocus(1);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TXbaseNavigator::changeEvent(QEvent *event) {
  if (event->type() == QEvent::EnabledChange) UpdateButtons();
  QWidget::changeEvent(event);
}

void TXbaseNavigator::focusInEvent(QFocusEvent *event) {
  for (auto *b : buttons_) b->update();
  QWidget::focusInEvent(event);
}

void TXbaseNavigator::focusOutEvent(QFocusEvent *event) {
  for (auto *b : buttons_) b->update();
  QWidget::focusOutEvent(event);
}

}  // namespace ui
