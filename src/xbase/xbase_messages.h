// The message texts of the table engine, exactly as users and other programs
// see them. Placeholders are filled in order by FormatMessage (xbase_error.h).
#pragma once

namespace xb::msg {

// Files.
inline constexpr char kFileNotFound[] = "File %s could not be found";
inline constexpr char kAccessDenied[] = "Access denied to file %s";
inline constexpr char kCouldNotCreate[] = "Could not create file %s";
inline constexpr char kErrorOnRead[] = "Error on Read of file %s";
inline constexpr char kErrorFileSize[] = "Error getting FileSize for file %s";
inline constexpr char kErrorOnFlush[] = "Error on Flush for file %s";
inline constexpr char kErrorInClose[] = "Error in Close of file %s";
inline constexpr char kErrorOnRename[] = "Error on Rename of file %s";
inline constexpr char kErrorInTruncate[] = "Error in Truncate of file %s";
inline constexpr char kErrorInUnlock[] = "Error in Unlock of file %s";
inline constexpr char kAnotherLockActive[] = "Another lock active on file %s";
inline constexpr char kCanNotLock[] = "Can not Lock file %s";
inline constexpr char kRequiresFullAccess[] = "%s requires full access to file %s";
inline constexpr char kErrorInSeek[] = "Error %d in FileSeek of file %s at block %d";
inline constexpr char kErrorInRead[] = "Error %d in Read of file %s at block %d";
inline constexpr char kErrorInWrite[] = "Error %d in Write of file %s at block %d";
// Another process renamed a new file over the one a table object holds open,
// or removed it, and the object cannot follow: the new file holds another
// table, the object is tied to the old file by its locks, or a record was to
// be rewritten whose number may now mean another record.
inline constexpr char kFileReplaced[] = "File %s was replaced by another user";

// Table header.
inline constexpr char kHeaderInvalid[] = "Table Header for %s is invalid";
inline constexpr char kNoPassword[] = "No Password for encrypted file %s";
inline constexpr char kPasswordForUnencrypted[] = "A Password is included for unencrypted file %s";
inline constexpr char kInvalidPassword[] = "Invalid Password for encrypted file %s";

// Records and fields.
inline constexpr char kRecordNotInTable[] = "Record number %d is not in table %s";
inline constexpr char kNoFieldName[] = "There is no field name %s";
inline constexpr char kIncorrectType[] = "Field %s is the incorrect type";
inline constexpr char kInvalidValue[] = "Invalid %s value for field %s";
inline constexpr char kInvalidNumeric[] = "Invalid numeric value in field %s";
inline constexpr char kNumericTooBig[] = "numeric value too big in field %s";
inline constexpr char kInvalidDate[] = "Invalid date in field %s";
// Memo contents are kept in a memo file that this engine does not read or
// write; asking for them fails instead of passing for an empty memo.
inline constexpr char kMemoNotSupported[] = "Memo contents of field %s are not supported";
// The engine has no record cipher: it neither reads nor writes enciphered
// tables.
inline constexpr char kCipherNotSupported[] = "Records of file %s can not be enciphered";

// Navigation, filters and maintenance.
inline constexpr char kFilterNotBoolean[] = "Filter expression must return boolean result";
inline constexpr char kIndexCorrupted[] = "Index file %s is corrupted";
inline constexpr char kCannotFindTag[] = "Cannot find index tag %s";
// The index formats this engine does not read (".ndx", ".mdx", no extension).
inline constexpr char kIndexFormatNotSupported[] =
    "Index file %s has a format that is not supported";
// A key or range value whose type does not match the tag's key type.
inline constexpr char kVariantMismatch[] = "Variant types mismatch for compare";

}  // namespace xb::msg
