// The shared definitions of globals.h.
#include "shell/globals.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "shell/identifier_checks.h"
#include "ui/ui_driver.h"

namespace shell {
namespace {

struct AppPaths {
  QString dir;
  QString exe_name;
  bool set = false;
};

AppPaths g_paths;

// The paths, taken from the running program when nobody set them.
const AppPaths &Paths() {
  if (!g_paths.set && QCoreApplication::instance() != nullptr) {
    InitAppPaths(QCoreApplication::applicationFilePath());
  }
  return g_paths;
}

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

const std::array<const char *, kPayerValueCount> kPayerKeys = {
    "FiscalYear",
    "OwnerNoType",
    "OwnerNo",
    "OwnerName",
    "OwnerObl",
    "OwnerObst",
    "OwnerNM",
    "OwnerPK",
    "OwnerAddr",
    "OwnerAddrName",
    "OwnerAddrNo",
    "OwnerAddrVh",
    "OwnerAddrEt",
    "OwnerAddrAp",
    "OwnerObl8",
    "OwnerObst8",
    "OwnerNM8",
    "OwnerPK8",
    "OwnerAddr8",
    "OwnerAddrName8",
    "OwnerAddrNo8",
    "OwnerAddrVh8",
    "OwnerAddrEt8",
    "OwnerAddrAp8",
    "OwnerPhone",
    "OwnerEMail",
    "AuthorizedPersonName",
    "AuthorizedPersonID",
    "Status",
    "OwnerAddrBl",
    "OwnerAddrBl8",
};

PayerRecord PayerData;
QString FileToCheck;
bool InsertMode = false;
bool EditMode = false;

void InitAppHome(const QString &home, const QString &exe_name) {
  g_paths.dir = home;
  if (!g_paths.dir.endsWith(QLatin1Char('/'))) g_paths.dir += QLatin1Char('/');
  g_paths.exe_name = exe_name;
  g_paths.set = true;
}

void InitAppPaths(const QString &program_file) {
  const QFileInfo info(program_file);
  InitAppHome(info.absolutePath(), info.fileName());
}

const QString &AppDir() { return Paths().dir; }
const QString &ExeName() { return Paths().exe_name; }

QString ChangeFileExt(const QString &name, const QString &ext) {
  const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot > slash) return name.left(dot) + ext;
  return name + ext;
}

QString DataDir() { return AppDir() + QLatin1String(kDataDirName) + QLatin1Char('/'); }
QString DataFile(const QString &name) { return DataDir() + name; }
QString SettingsFilePath() { return AppDir() + ChangeFileExt(ExeName(), QStringLiteral(".ini")); }
QString HelpFilePath() { return AppDir() + ChangeFileExt(ExeName(), QStringLiteral(".html")); }

const FormatSettings &AppFormatSettings() {
  static const FormatSettings settings{QLocale::system(), QLatin1Char('.'), 2};
  return settings;
}

QString FormatFixed(double value, int decimals) {
  // QString::number never uses the locale: '.' and no grouping.
  return QString::number(value, 'f', decimals);
}

bool TextToFloat(const QString &text, double *value) {
  const QString trimmed = text.trimmed();
  if (IsNotNumber(trimmed)) return false;
  *value = trimmed.toDouble();  // always the C notation
  return true;
}

const QStringList &IdKindNames() {
  static const QStringList names = {
      QStringLiteral("ЕГН"),
      QStringLiteral("ЛН или ЛНЧ"),
      QStringLiteral("Служебен номер от регистъра на ВЕСКОР"),
      QStringLiteral("ЕИК по Булстат"),
      QStringLiteral("Етажна собственост"),
      QStringLiteral("Лихви по банкови сметки"),
  };
  return names;
}

const QStringList &FieldCaptions() {
  static const QStringList captions = {
      QStringLiteral("Пореден номер"),
      QStringLiteral("Флаг за чуждестранно физ.лице"),
      QStringLiteral("Вид идентификатор"),
      QStringLiteral("Идентификатор"),
      QStringLiteral("Име на лицето получило доход"),
      QStringLiteral("Държава(код)"),
      QStringLiteral("Адрес в чужбина)"),
      QStringLiteral("Изплатена сума"),
      QStringLiteral("Удържан данък"),
      QStringLiteral("Код на вид доход"),
      QStringLiteral("Флаг при прекратяване/несъстоятелност"),
      QStringLiteral("Флаг за правоприемник"),
      QStringLiteral("Данъчна година"),
  };
  return captions;
}

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

QString ChooseDirectory(QWidget *owner) {
  return ui::ChooseFolder(owner, QStringLiteral("Изберете директория"));
}

}  // namespace shell
