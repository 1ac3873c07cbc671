// ADODB.Connection and the recordset its Execute returns, late bound:
// rs("name"), rs.Fields("name").Value, rs.EOF, rs.MoveNext, rs.Close.
#include "quorvale/providers/ado_connection.h"

#include "quorvale/com/create_object.h"
#include "quorvale/com/dispatch_base.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"

namespace quorvale {

namespace {

// ADO's own errors, as the HRESULTs callers see in Err.Number.
[[noreturn]] void ObjectClosed() { Raise(Error::kAdoObjectClosed); }
[[noreturn]] void ObjectOpen() { Raise(Error::kAdoObjectOpen); }
[[noreturn]] void NoCurrentRecord() { Raise(Error::kAdoNoCurrentRecord); }
[[noreturn]] void NotInCollection() { Raise(Error::kAdoItemNotFound); }

std::string Text(const Variant* v) {
  auto t = v->TextForm();
  if (!t) Raise(Error::kTypeMismatch);
  return *t;
}

// What the recordset, its Fields and each Field share.
struct Cursor {
  std::optional<RowSet> rows;  // nothing once closed (or for a statement without rows)
  std::size_t at = 0;

  const RowSet& Open() const {
    if (!rows) ObjectClosed();
    return *rows;
  }
  bool AtEnd() const { return at >= Open().rows.size(); }
  std::size_t Column(const Variant& key) const {
    const auto& names = Open().names;
    if (key.AsString()) {
      for (std::size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], *key.AsString())) return i;
      NotInCollection();
    }
    auto n = key.AsNumber();
    if (!n || *n < 0 || *n >= static_cast<double>(names.size())) NotInCollection();
    return static_cast<std::size_t>(*n);
  }
};

class Field final : public DispatchBase {
 public:
  Field(std::shared_ptr<Cursor> c, std::size_t column) : cursor_(std::move(c)), column_(column) {}

 private:
  const std::vector<Member>& Members() const override { return members_; }
  std::shared_ptr<Cursor> cursor_;
  std::size_t column_;
  const std::vector<Member> members_ = {
      {"Value", 0,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         if (cursor_->AtEnd()) NoCurrentRecord();
         return cursor_->Open().rows[cursor_->at][column_];
       }},
      {"Name", 1,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(cursor_->Open().names[column_]);
       }},
  };
};

Variant FieldOf(const std::shared_ptr<Cursor>& c, const Variant& key) {
  std::size_t column = c->Column(key);
  return ToVariant(ComPtr<IDispatch>::Attach(new Field(c, column)));
}

class Fields final : public DispatchBase {
 public:
  explicit Fields(std::shared_ptr<Cursor> c) : cursor_(std::move(c)) {}

 private:
  const std::vector<Member>& Members() const override { return members_; }
  std::shared_ptr<Cursor> cursor_;
  const std::vector<Member> members_ = {
      {"Item", 0,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         if (a.empty()) Raise(Error::kWrongArguments);
         return FieldOf(cursor_, *a[0]);
       }},
      {"Count", 1,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(static_cast<std::int32_t>(cursor_->Open().names.size()));
       }},
  };
};

class Recordset final : public DispatchBase {
 public:
  explicit Recordset(std::optional<RowSet> rows) : cursor_(std::make_shared<Cursor>()) {
    cursor_->rows = std::move(rows);
  }

 private:
  const std::vector<Member>& Members() const override { return members_; }
  std::shared_ptr<Cursor> cursor_;
  const std::vector<Member> members_ = {
      // rs("name") is rs.Fields("name"); rs.Fields alone is the collection.
      {"Fields", 0,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         if (!a.empty()) return FieldOf(cursor_, *a[0]);
         cursor_->Open();
         return ToVariant(ComPtr<IDispatch>::Attach(new Fields(cursor_)));
       }},
      {"EOF", 1, [this](const std::vector<Variant*>&, std::uint16_t) { return Variant(cursor_->AtEnd()); }},
      {"BOF", 2,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(cursor_->Open().rows.empty());  // the cursor only moves forward
       }},
      {"MoveNext", 3,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         if (cursor_->AtEnd()) NoCurrentRecord();
         ++cursor_->at;
         return Variant();
       }},
      {"MoveFirst", 4,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         cursor_->Open();
         cursor_->at = 0;
         return Variant();
       }},
      {"Close", 5,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         cursor_->Open();
         cursor_->rows.reset();
         return Variant();
       }},
      {"State", 6,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(std::int32_t{cursor_->rows ? 1 : 0});
       }},
      {"RecordCount", 7,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(static_cast<std::int32_t>(cursor_->Open().rows.size()));
       }},
  };
};

class Connection final : public DispatchBase {
  const std::vector<Member>& Members() const override { return members_; }
  OdbcConnection odbc_;
  std::string connection_string_;
  const std::vector<Member> members_ = {
      {"Open",
       1,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         if (odbc_.IsOpen()) ObjectOpen();
         if (!a.empty() && !a[0]->IsEmpty()) connection_string_ = Text(a[0]);
         odbc().Open(connection_string_);
         return Variant();
       },
       {"ConnectionString", "UserID", "Password", "Options"}},
      {"Execute",
       2,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         if (a.empty()) Raise(Error::kWrongArguments);
         if (!odbc_.IsOpen()) ObjectClosed();
         return ToVariant(ComPtr<IDispatch>::Attach(new Recordset(odbc().Execute(Text(a[0])))));
       },
       {"CommandText", "RecordsAffected", "Options"}},
      {"Close", 3,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         if (!odbc_.IsOpen()) ObjectClosed();
         odbc().Close();
         return Variant();
       }},
      {"State", 4,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(std::int32_t{odbc_.IsOpen() ? 1 : 0});
       }},
      {"ConnectionString", 0,
       [this](const std::vector<Variant*>& a, std::uint16_t f) {
         if (f & DISPATCH_PROPERTYPUT) {
           if (a.empty()) Raise(Error::kWrongArguments);
           if (odbc_.IsOpen()) ObjectOpen();
           self().connection_string_ = Text(a[0]);
           return Variant();
         }
         return Variant(connection_string_);
       }},
  };
  OdbcConnection& odbc() const { return const_cast<OdbcConnection&>(odbc_); }
  Connection& self() const { return const_cast<Connection&>(*this); }
};

}  // namespace

HRESULT AdoConnectionClassObject(const Guid& iid, void** out) {
  static Factory<Connection> factory;
  return factory.QueryInterface(iid, out);
}

}  // namespace quorvale
