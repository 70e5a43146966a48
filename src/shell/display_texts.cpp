// See display_texts.h.
#include "shell/display_texts.h"

namespace shell {

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

}  // namespace shell
