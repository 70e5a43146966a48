// See payer_record.h.
#include "shell/payer_record.h"

namespace shell {

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

}  // namespace shell
