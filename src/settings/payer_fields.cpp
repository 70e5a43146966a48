// The payer values' table (see payer_fields.h).
#include "settings/payer_fields.h"

#include "shell/payer_record.h"

namespace settings {

namespace {

using shell::PayerIndex;
constexpr PayerControl kList = PayerControl::kList;
constexpr PayerControl kEdit = PayerControl::kEdit;
constexpr PayerControl kNoControl = PayerControl::kNone;
using R = PayerRule;

// A value whose rule reads no other value names itself as its partner.
constexpr PayerField Row(PayerIndex index, const char *control, PayerControl kind, int limit,
                         bool numeric, bool green, PayerRule rule, const char *warning = "",
                         PayerIndex partner = shell::kPayerValueCount) {
  return PayerField{index,   control, kind, limit,
                    numeric, green,   rule, partner == shell::kPayerValueCount ? index : partner,
                    warning};
}

constexpr bool kNum = true;
constexpr bool kGreen = true;

}  // namespace

// clang-format off
constexpr std::array<PayerField, shell::kPayerValueCount> kPayerFields = {{
    Row(shell::kFiscalYear, "ComboBox1", kList, 0, false, kGreen, R::kTaxYear,
        " Изберете данъчна година"),
    Row(shell::kOwnerNoType, "ComboBox2", kList, 0, false, kGreen, R::kIdentifierKind,
        " Изберете вид идентификатор"),
    Row(shell::kOwnerNo, "Edit1", kEdit, 10, kNum, kGreen, R::kIdentifier, "", shell::kOwnerNoType),
    Row(shell::kOwnerName, "Edit2", kEdit, 40, false, kGreen, R::kRequired,
        " Въведете име на платеца"),
    Row(shell::kOwnerObl, "Edit3", kEdit, 15, false, kGreen, R::kRequired, " Въведете област"),
    Row(shell::kOwnerObst, "Edit4", kEdit, 15, false, kGreen, R::kRequired, " Въведете община"),
    Row(shell::kOwnerNM, "Edit5", kEdit, 25, false, kGreen, R::kRequired,
        " Въведете населено място"),
    Row(shell::kOwnerPK, "Edit6", kEdit, 4, kNum, kGreen, R::kPostalCode,
        " Въведете ПК (4-цифрен) на адреса за кореспонденция на платеца"),
    Row(shell::kOwnerAddr, "ComboBox3", kList, 0, false, kGreen, R::kRequired,
        " Изберете от списъка "),
    Row(shell::kOwnerAddrName, "Edit7", kEdit, 27, false, kGreen, R::kStreetName,
        " Въведете наименование ", shell::kOwnerAddr),
    Row(shell::kOwnerAddrNo, "Edit19", kEdit, 4, false, kGreen, R::kRequired, " Въведете № "),
    Row(shell::kOwnerAddrVh, "Edit20", kEdit, 1, false, false, R::kAny),
    Row(shell::kOwnerAddrEt, "Edit21", kEdit, 2, kNum, false, R::kAny),
    Row(shell::kOwnerAddrAp, "Edit22", kEdit, 2, kNum, false, R::kAny),
    Row(shell::kOwnerObl8, "Edit10", kEdit, 15, false, kGreen, R::kRequired, " Въведете област"),
    Row(shell::kOwnerObst8, "Edit11", kEdit, 15, false, kGreen, R::kRequired, " Въведете община"),
    Row(shell::kOwnerNM8, "Edit12", kEdit, 25, false, kGreen, R::kRequired,
        " Въведете населено място"),
    Row(shell::kOwnerPK8, "Edit13", kEdit, 4, kNum, kGreen, R::kPostalCode,
        " Въведете ПК (4-цифрен) на адреса по чл.8 от ДОПК на платеца"),
    Row(shell::kOwnerAddr8, "ComboBox4", kList, 0, false, kGreen, R::kRequired,
        " Изберете от списъка "),
    Row(shell::kOwnerAddrName8, "Edit14", kEdit, 27, false, kGreen, R::kStreetName,
        " Въведете наименование ", shell::kOwnerAddr8),
    Row(shell::kOwnerAddrNo8, "Edit15", kEdit, 4, false, kGreen, R::kRequired, " Въведете № "),
    Row(shell::kOwnerAddrVh8, "Edit16", kEdit, 1, false, false, R::kAny),
    Row(shell::kOwnerAddrEt8, "Edit17", kEdit, 2, kNum, false, R::kAny),
    Row(shell::kOwnerAddrAp8, "Edit18", kEdit, 2, kNum, false, R::kAny),
    Row(shell::kOwnerPhone, "Edit8", kEdit, 20, false, false, R::kAny),
    Row(shell::kOwnerEMail, "Edit9", kEdit, 60, false, false, R::kAny),
    Row(shell::kAuthorizedPersonName, "Edit23", kEdit, 50, false, false, R::kRepresentativeName,
        " Въведете името на представляващия ", shell::kAuthorizedPersonID),
    Row(shell::kAuthorizedPersonID, "Edit24", kEdit, 10, kNum, false, R::kRepresentativeId,
        " Въведете вярно ЕГН/ЛНЧ/Сл.№ от рег.на ВЕСКОР ", shell::kAuthorizedPersonName),
    Row(shell::kStatus, "", kNoControl, 0, false, false, R::kStatusWord),
    Row(shell::kOwnerAddrBl, "ComboBox5", kList, 0, false, kGreen, R::kAny),
    Row(shell::kOwnerAddrBl8, "ComboBox6", kList, 0, false, kGreen, R::kAny),
}};
// clang-format on

static_assert(
    [] {
      for (int i = 0; i < shell::kPayerValueCount; ++i) {
        if (kPayerFields[i].index != i) return false;
      }
      return true;
    }(),
    "the rows of kPayerFields are in value order");

}  // namespace settings
