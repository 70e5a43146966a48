// The payer's data in memory: one value per settings key, by index.
#pragma once

#include <QString>
#include <array>

namespace shell {

// Index of each payer value; the settings key of index i is kPayerKeys[i].
enum PayerIndex {
  kFiscalYear,
  kOwnerNoType,
  kOwnerNo,
  kOwnerName,
  kOwnerObl,
  kOwnerObst,
  kOwnerNM,
  kOwnerPK,
  kOwnerAddr,
  kOwnerAddrName,
  kOwnerAddrNo,
  kOwnerAddrVh,
  kOwnerAddrEt,
  kOwnerAddrAp,
  kOwnerObl8,
  kOwnerObst8,
  kOwnerNM8,
  kOwnerPK8,
  kOwnerAddr8,
  kOwnerAddrName8,
  kOwnerAddrNo8,
  kOwnerAddrVh8,
  kOwnerAddrEt8,
  kOwnerAddrAp8,
  kOwnerPhone,
  kOwnerEMail,
  kAuthorizedPersonName,
  kAuthorizedPersonID,
  kStatus,
  kOwnerAddrBl,
  kOwnerAddrBl8,
  kPayerValueCount
};
extern const std::array<const char *, kPayerValueCount> kPayerKeys;

using PayerRecord = std::array<QString, kPayerValueCount>;
// The payer's data in memory, filled from the settings file or the payer
// data dialog.
extern PayerRecord PayerData;

}  // namespace shell
