// The record editor's field states as plain functions: which controls are
// enabled, which texts are filled or emptied, what the kind list and the
// address label show and where the focus goes, when the window opens, after
// "Не", "Да" or a kind is chosen, and after a saved row. The window gathers
// EditorValues from its controls, calls one of these and shows the result.
#pragma once

#include <QString>

#include "records/editor_rules.h"
#include "records/field_limits.h"
#include "records/row_validation.h"

namespace records {

// The editor's state: what its controls show, and what the rules read beside.
struct EditorValues {
  RowValues row;                 // the fields; `kind` is the kind list's selected entry
  int kind_count = 6;            // entries in the kind list: six for "Не", three for "Да"
  bool person_enabled = true;    // identifier and names, with their labels
  bool country_enabled = false;  // country field, its label and its lookup button
  bool address_enabled = false;  // address field and its label
  bool code_enabled = true;      // income code field and its lookup button
  QString address_caption;       // the address label
  int identifier_limit = kIdentifierLimit;  // the identifier field's maximum length
  bool insert_mode = true;
  // Edit mode: the row's stored kind (kKindNone when it is not 0 to 4) and code.
  int stored_kind = kKindNone;
  QString stored_code;
};

// What happens to the name of the income code shown under the code field.
enum class CodeNameShown { kKept, kLookedUp, kCleared };

// Where the focus goes. kFirstInput: the identifier field if it is enabled,
// else the kind list, as the focus is given after a message.
enum class EditorFocus { kKept, kIdentifier, kAddress, kIncome, kFirstInput };

// The state a rule leads to.
struct EditorStep {
  EditorValues values;
  CodeNameShown code_name = CodeNameShown::kKept;
  EditorFocus focus = EditorFocus::kKept;
};

// Each showing begins here: six kinds, kind 0, the address label for abroad,
// and the identifier, names and code enabled again if the identifier was not.
EditorStep Activated(const EditorValues &values);
// Insert mode after Activated: an empty row of a person who is not foreign.
EditorStep NewRowShown(const EditorValues &values);
// Edit mode after Activated: the state the stored row's values give; the
// window then loads the row's texts.
EditorStep StoredRowShown(const EditorValues &values, const StoredRowView &view);
// "Не" chosen (the choice changed from "Да").
EditorStep ForeignOff(const EditorValues &values);
// "Да" chosen (the choice changed from "Не").
EditorStep ForeignOn(const EditorValues &values);
// A kind chosen in the list: `values.row.kind` is the new kind.
EditorStep KindChosen(const EditorValues &values);
// Insert mode after a saved row: ready for the next one, a person who is not
// foreign whatever the last row was.
EditorStep NextRowShown(const EditorValues &values);

}  // namespace records
