// The table of the payer's 31 values: for each, the control of the payer data
// dialog that edits it (objectName and kind), that control's limit and input
// filter, and the check the value must pass with its warning. The dialog
// builds, fills and reads its controls from it, the payer check walks it in
// value order, the tests read it. The settings key of a value is
// shell::kPayerKeys[index].
#pragma once

#include <array>
#include <utility>

#include "shell/payer_record.h"

namespace settings {

enum class PayerControl {
  kNone,  // the status word: two check boxes, nothing to focus
  kList,  // a pick list; the value is its selected entry's text
  kEdit,  // an edit field
};

// What a value must be; `partner` names the other value a rule reads.
enum class PayerRule {
  kAny,                 // anything, empty included
  kTaxYear,             // last year or this year, four digits
  kIdentifierKind,      // one of the four kinds
  kIdentifier,          // valid for the kind held in `partner`
  kRequired,            // not empty
  kPostalCode,          // four digits
  kStreetName,          // not empty; the warning ends with the street kind in `partner`
  kRepresentativeName,  // not empty while the representative's identifier (`partner`) is given
  kRepresentativeId,    // empty, or a valid ЕГН, ЛНЧ or service number; not empty while the
                        // representative's name (`partner`) is given
  kStatusWord,          // one of the four status words
};

struct PayerField {
  shell::PayerIndex index;
  const char *control;  // objectName; empty for none
  PayerControl kind;
  int limit;     // the edit field's maximum number of characters; 0 for a list
  bool numeric;  // the edit field takes only whole numbers (or nothing)
  bool green;    // shown with the green background of the values that must be filled
  PayerRule rule;
  shell::PayerIndex partner;  // used by the rules that say so
  const char *warning;        // without the "  ...        " the dialog appends; the
                              // identifier's depends on its kind (IdentifierWarning)
};

// In value order: kPayerFields[i].index == i, so value n (1..31) is row n - 1.
extern const std::array<PayerField, shell::kPayerValueCount> kPayerFields;

// The copy button's pairs: each correspondence address value and the value of
// the address under art. 8 of ДОПК that takes it.
inline constexpr std::pair<shell::PayerIndex, shell::PayerIndex> kAddressCopy[] = {
    {shell::kOwnerObl, shell::kOwnerObl8},       {shell::kOwnerObst, shell::kOwnerObst8},
    {shell::kOwnerNM, shell::kOwnerNM8},         {shell::kOwnerPK, shell::kOwnerPK8},
    {shell::kOwnerAddr, shell::kOwnerAddr8},     {shell::kOwnerAddrName, shell::kOwnerAddrName8},
    {shell::kOwnerAddrBl, shell::kOwnerAddrBl8}, {shell::kOwnerAddrNo, shell::kOwnerAddrNo8},
    {shell::kOwnerAddrVh, shell::kOwnerAddrVh8}, {shell::kOwnerAddrEt, shell::kOwnerAddrEt8},
    {shell::kOwnerAddrAp, shell::kOwnerAddrAp8},
};

}  // namespace settings
