// The message texts of the dataset layer (the framework, the DBF adapter,
// table creation and the simple table object), raised as EDatabaseError
// unless noted.
#pragma once

namespace xb::dsmsg {

inline constexpr char kNotEditing[] = "Dataset not in edit or insert mode";
inline constexpr char kClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr char kOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr char kReadOnly[] = "Cannot modify a read-only dataset";
inline constexpr char kEmpty[] = "Cannot perform this operation on an empty dataset";
inline constexpr char kFieldNotFound[] = "Field '%s' not found";
inline constexpr char kFieldReadOnly[] = "Field '%s' cannot be modified";
inline constexpr char kFieldNotIndexed[] = "Field '%s' is not indexed and cannot be modified";
inline constexpr char kTableNameMissing[] = "Table name missing";
inline constexpr char kCannotFindFile[] = "Cannot find file %s";
inline constexpr char kIndexAlreadyOpen[] = "Index file %s already open";
inline constexpr char kRecordLocked[] = "Record is locked by another user";
inline constexpr char kCannotDelete[] = "Cannot delete the record";
inline constexpr char kCannotRecall[] = "Cannot recall the record";
inline constexpr char kBeyondRange[] = "Record request beyond range of table";
inline constexpr char kBookmarkInvalid[] = "Bookmark is invalid for table ";
inline constexpr char kBusyIndexing[] = "Table is busy building an index";
inline constexpr char kInvalidFieldList[] = "Field list is invalid";
inline constexpr char kOpenTable[] = "Cannot perform this operation on an open table";
// Also raised as EXbaseError by the simple table object.
inline constexpr char kNotAssigned[] = "A table is not assigned to this object";
inline constexpr char kNotBrowse[] = "Dataset is not in browse mode";
// A text that does not read as a value of the field's type.
inline constexpr char kInvalidInteger[] = "'%s' is not a valid integer value";
inline constexpr char kInvalidFloat[] = "'%s' is not a valid floating point value";
inline constexpr char kInvalidBoolean[] = "'%s' is not a valid boolean value";
inline constexpr char kInvalidDate[] = "'%s' is not a valid date";

}  // namespace xb::dsmsg
