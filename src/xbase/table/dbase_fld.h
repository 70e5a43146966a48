// XBO_dBaseFld: typed access to the fields of the current record: raw bytes,
// formatted text, numbers, dates (Julian day numbers) and logicals, by name
// or by 1-based number, plus blanking, deleting and recalling records.
#pragma once

#include <memory>
#include <string>

#include "xbase/expr/expr_table_source.h"
#include "xbase/table/dbase_dbf.h"

namespace xb {

class XBO_dBaseFld : public XBO_dBaseDBF {
 public:
  using XBO_dBaseDBF::XBO_dBaseDBF;
  ~XBO_dBaseFld() override;

  // The table's expression link: the table functions and one field variable
  // per field, reading the current record buffer (made on first use).
  TxbExpUserLink &ExpressionLink();

  // Clears ChangedFields after each read.
  void GoToRecord(int64_t code) override;

  // 1-based number of the named field, 0 when there is none (letter case and
  // trailing blanks ignored).
  virtual int FindField(const std::string &name) const;
  // Blanks, zero in every N/F field (and binary field of 0x30 tables), all
  // fields marked changed; status 0.
  virtual void BlankRecord();
  virtual int32_t DateGet(const std::string &name);
  virtual int32_t DateGet(int field);
  virtual void DatePut(const std::string &name, int32_t julian);
  virtual void DatePut(int field, int32_t julian);
  virtual void DeleteRecord();
  virtual std::string FieldGet(const std::string &name);
  virtual std::string FieldGet(int field);
  virtual void FieldPut(const std::string &name, const std::string &value);
  virtual void FieldPut(int field, const std::string &value);
  virtual int FieldDecimals(int field) const;
  virtual int FieldWidth(int field) const;
  virtual int FieldOffset(int field) const;
  virtual std::string FieldName(int field) const;
  virtual char FieldType(int field) const;  // '\0' out of range
  virtual bool LogicGet(const std::string &name);
  virtual bool LogicGet(int field);
  virtual void LogicPut(const std::string &name, bool value);
  virtual void LogicPut(int field, bool value);
  virtual long double NumberGet(const std::string &name);
  virtual long double NumberGet(int field);
  virtual void NumberPut(const std::string &name, long double value);
  virtual void NumberPut(int field, long double value);
  virtual std::string StringGet(const std::string &name);
  virtual std::string StringGet(int field);
  virtual void StringPut(const std::string &name, const std::string &value);
  virtual void StringPut(int field, const std::string &value);
  virtual void UndeleteRecord();

 protected:
  // The field's number, or "There is no field name" naming the table.
  int FieldByName(const std::string &name) const;
  // As FieldByName, and "Field %s is the incorrect type" unless the field's
  // type letter is in `types`.
  int TypedField(const std::string &name, const char *types) const;
  const dbf::FieldDef *Field(int field) const;
  bool IsBinaryField(const dbf::FieldDef &f) const;
  void MarkChanged(int field);
  void SetDeletionFlag(char flag);

 private:
  std::unique_ptr<TableExpressionBinding> expression_binding_;
};

}  // namespace xb
