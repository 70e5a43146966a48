// A complete, valid set of payer data (tax year 2019, checked in 2020) for
// tests of the payer checks, the payer data dialog and the main window.
// Header only: the test programs that use it link the shared definitions.
#pragma once

#include "shell/payer_record.h"

namespace testing_support {

inline shell::PayerRecord ValidPayerRecord() {
  shell::PayerRecord v;
  v[shell::kFiscalYear] = "2019";
  v[shell::kOwnerNoType] = "ЕИК";
  v[shell::kOwnerNo] = "121212121";
  v[shell::kOwnerName] = "Фирма ООД";
  for (int i : {shell::kOwnerObl, shell::kOwnerObl8}) v[i] = "София";
  for (int i : {shell::kOwnerObst, shell::kOwnerObst8}) v[i] = "Столична";
  for (int i : {shell::kOwnerNM, shell::kOwnerNM8}) v[i] = "гр.София";
  for (int i : {shell::kOwnerPK, shell::kOwnerPK8}) v[i] = "1000";
  v[shell::kOwnerAddr] = "ул.";
  v[shell::kOwnerAddr8] = "бул.";
  for (int i : {shell::kOwnerAddrName, shell::kOwnerAddrName8}) v[i] = "Витоша";
  for (int i : {shell::kOwnerAddrNo, shell::kOwnerAddrNo8}) v[i] = "15";
  v[shell::kStatus] = "Active";
  return v;
}

}  // namespace testing_support
