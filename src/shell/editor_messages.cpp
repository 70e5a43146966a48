// See editor_messages.h.
#include "shell/editor_messages.h"

namespace shell {
namespace {

struct RecordMessage {
  const char *text;  // UTF-8
  char kind;
  int field;
};

// Number n is at index n - 1; the number is also the first word of the text.
constexpr RecordMessage kMessages[kMessageCount] = {
    {"1 Въведете ЕИК по Булстат", 'e', 1},
    {"2 Невалиден ЕИК по Булстат", 'e', 1},
    {"3 Въведете ЕГН", 'e', 1},
    {"4 Невалиден ЕГН", 'e', 1},
    {"5 Въведете ЛНЧ", 'e', 1},
    {"6 Невалиден ЛНЧ", 'e', 1},
    {"7 Въведете Служебен номер от регистъра на ВЕСКОР", 'e', 1},
    {"8 Невалиден Служебен номер от регистъра на ВЕСКОР", 'e', 1},
    {"9 Въведете име на лицето", 'e', 2},
    {"10 Невалидно име на лицето", 'e', 2},
    {"11 Въведете код държава, или изберете с бутона", 'e', 3},
    {"12 Невалиден код държава (очакват се 2 латински букви)", 'e', 3},
    {"13 Невалиден код държава (няма такъв код държава)", 'e', 3},
    {"14 Въведете адрес на лицето/етажната собственост", 'e', 4},
    {"15 Въведете размера на дохода", 'e', 5},
    {"16 Размерът на дохода трябва да е по-голям от размера на удържания данък.", 'e', 5},
    {"17 Въведете размера на удържания данък", 'e', 6},
    {"18 Размерът на удържания данък трябва да е по-малък от размера на дохода.", 'e', 6},
    {"19 Въведете код на дохода или изберете с бутона ...", 'e', 7},
    {"20 Невалиден код на дохода (очакват се минимум 3 цифри)", 'e', 7},
    {"21 Невалиден код на дохода (няма такъв код доход)", 'e', 7},
    {"22 Избраният код държава <BG> България не е позволен.(изберете друг код.)", 'e', 3},
    {"23 Невалиден код на дохода. При идентификатор [Етажна собственост] валиден код е [820]", 'e',
     7},
    {"24 Невалиден код на дохода. Код на дохода [821] е валиден само при идентификатор "
     "[Лихви по банкови сметки]",
     'e', 7},
    {"25 Годишният размер на дохода за посочения код трябва да превишава 5000 лв.", 'e', 5},
    {"26 При код на доход [820,821] задължително въведете брой физически лица", 'e', 8},
};

const RecordMessage &Message(int number) {
  Q_ASSERT(number >= 1 && number <= kMessageCount);
  return kMessages[number - 1];
}

}  // namespace

QString MsgText(int number) { return QString::fromUtf8(Message(number).text); }
QChar MsgKind(int number) { return QLatin1Char(Message(number).kind); }
int MsgField(int number) { return Message(number).field; }

QString MsgControlName(int number) {
  QString prefix;
  switch (Message(number).kind) {
    case 'c':
      prefix = QStringLiteral("ComboBox");
      break;
    case 'r':
      prefix = QStringLiteral("RadioGroup");
      break;
    default:
      prefix = QStringLiteral("Edit");
  }
  return prefix + QString::number(MsgField(number));
}

}  // namespace shell
