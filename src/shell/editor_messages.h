// The record editor's numbered messages, each with the control it belongs to.
#pragma once

#include <QChar>
#include <QString>

namespace shell {

// The 26 numbered messages of the record editor, numbered 1..26.
inline constexpr int kMessageCount = 26;
QString MsgText(int number);
// Kind of control the message belongs to: 'e' edit box, 'c' combo box,
// 'r' radio group.
QChar MsgKind(int number);
// Input field the message belongs to: 1 identifier, 2 name, 3 country code,
// 4 address, 5 income, 6 tax, 7 income code, 8 number of persons.
int MsgField(int number);
// Object name of the control the message belongs to ("Edit7").
QString MsgControlName(int number);

}  // namespace shell
