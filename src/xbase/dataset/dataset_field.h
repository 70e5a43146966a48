// Field definitions and fields of a dataset: a field reads and writes its
// value in the buffer of the dataset's current state and converts it to and
// from text.
#pragma once

#include <functional>
#include <string>

#include "xbase/dataset/dataset_types.h"

namespace xb {

class TDataSet;

// What a dataset knows of one column before its fields exist.
struct TFieldDef {
  std::string name;
  TFieldType type = TFieldType::ftUnknown;
  int size = 0;  // characters of a string field, 0 otherwise
  int precision = 0;
  int fieldNo = 0;  // 1-based position among the data fields
};

class TField {
 public:
  TField(TDataSet &dataset, const TFieldDef &def, TFieldKind kind, int index);
  TField(const TField &) = delete;
  TField &operator=(const TField &) = delete;

  TDataSet &DataSet() const { return dataset_; }
  const std::string &FieldName() const { return name_; }
  TFieldType DataType() const { return type_; }
  TFieldKind FieldKind() const { return kind_; }
  int Size() const { return size_; }
  int FieldNo() const { return fieldNo_; }  // 0 for calculated fields
  int Index() const { return index_; }      // position in the dataset's field list
  int CalcIndex() const { return calcIndex_; }

  // Presentation: caption, width in characters, alignment, visibility.
  std::string DisplayLabel;  // the field name when empty
  int DisplayWidth = 0;      // the natural width when 0
  bool Visible = true;
  bool ReadOnly = false;
  std::string LabelOrName() const { return DisplayLabel.empty() ? name_ : DisplayLabel; }
  int EffectiveDisplayWidth() const;
  TAlignment Alignment() const;
  bool IsNumeric() const;

  // Called before a new value is stored (it may throw to refuse it), and after.
  std::function<void(TField &)> OnValidate;
  std::function<void(TField &)> OnChange;

  // The value in the buffer of the dataset's current state.
  TFieldData Value() const;
  bool IsNull() const { return !Value().has_value(); }
  std::string AsString() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  std::optional<TDateValue> AsDate() const;

  // Stores a value; the dataset must be in a state that allows it.
  void SetValue(const TFieldData &value);
  void SetAsString(const std::string &text);
  void SetAsInteger(std::int64_t value);
  void SetAsFloat(double value);
  void SetAsBoolean(bool value);
  void SetAsDate(const TDateValue &value);
  void Clear() { SetValue(std::nullopt); }

  // Text of a value of this field as shown to the user (no translation).
  std::string TextOf(const TFieldData &value) const;
  // Reads a user's text as a value of this field; throws EDatabaseError when
  // the text does not fit the type. An empty text is null.
  TFieldData ParseText(const std::string &text) const;

 private:
  friend class TDataSet;
  TDataSet &dataset_;
  std::string name_;
  TFieldType type_;
  TFieldKind kind_;
  int size_;
  int precision_;
  int fieldNo_;
  int index_;
  int calcIndex_ = -1;
};

}  // namespace xb
