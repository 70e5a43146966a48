// The countries table for the checker; see country_codes.h.
#include "agencyfile/country_codes.h"

#include <QFileInfo>

#include "shell/app_paths.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/file/clock.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"

namespace agencyfile {

CountryCodesLoader CountriesTableLoader(const QString &path) {
  return [path](QSet<QString> *codes, QString *error) {
    const auto fail = [&](const QString &reason) {
      *error = QStringLiteral(
                   "Таблицата с кодовете на държавите [%1] не може да бъде прочетена "
                   "(%2).")
                   .arg(path, reason);
      return false;
    };
    if (!QFileInfo(path).isFile()) return fail(QStringLiteral("няма такъв файл"));
    try {
      xb::XBO_dBHandler table(ui::EnginePath(path), /*shared=*/true,
                              /*read_write=*/false);
      if (table.FieldCount() < 1) return fail(QStringLiteral("таблицата няма полета"));
      table.SetUseDeleted(false);
      for (table.GoToRecord(xb::kGoFirst); !table.Eof(); table.Skip(1)) {
        // The search compares the code in upper case with the whole field.
        const QString code = codepage::FromCp1251(table.FieldGet(1)).trimmed().toUpper();
        if (!code.isEmpty()) codes->insert(code);
      }
    } catch (const xb::EXbaseError &e) {
      return fail(ui::EngineErrorText(e.what()));
    }
    return true;
  };
}

CheckOptions DefaultCheckOptions() {
  CheckOptions options;
  options.current_year = xb::Now().year;
  options.countries =
      CountriesTableLoader(shell::DataFile(QString::fromLatin1(shell::kCountriesTableName)));
  return options;
}

}  // namespace agencyfile
