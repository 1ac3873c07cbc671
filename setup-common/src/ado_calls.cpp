#include "quorvale/setup/ado_calls.h"

#include <algorithm>

#include "quorvale/com/create_object.h"

namespace quorvale::setup::detail {

bool Connect(Err& err, ComPtr<IDispatch>& connection, const std::string& connection_string) {
  connection = ComPtr<IDispatch>();
  err.Resume([&] { connection = CreateObject("ADODB.Connection"); });
  return err.Resume([&] { CallMethod(connection.get(), "Open", {Variant(connection_string)}); });
}

bool Execute(Err& err, IDispatch* connection, const std::string& sql, Variant* result) {
  return err.Resume([&] {
    Variant rs = CallMethod(connection, "Execute", {Variant(sql)});
    if (result) *result = std::move(rs);
  });
}

void Close(Err& err, IDispatch* connection) {
  err.Resume([&] { CallMethod(connection, "Close"); });
}

bool AtEnd(Err& err, const Variant& recordset) {
  bool at_end = true;
  err.Resume([&] { at_end = GetProperty(DispatchOf(recordset), "EOF") != Variant(false); });
  return at_end;
}

Variant FieldValue(Err& err, const Variant& recordset, const std::string& field) {
  Variant value;
  err.Resume([&] {
    Variant name(field);
    Variant f = Call(DispatchOf(recordset), "Fields", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&name});
    value = GetProperty(DispatchOf(f), "Value");
  });
  return value;
}

bool MoveNext(Err& err, const Variant& recordset) {
  return err.Resume([&] { CallMethod(DispatchOf(recordset), "MoveNext"); });
}

std::optional<long> WholeNumber(const Variant& value) {
  auto text = value.TextForm();
  if (!text || text->empty() || text->size() > 9 ||
      !std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const long n = std::stol(*text);
  if (n < 1) return std::nullopt;
  return n;
}

}  // namespace quorvale::setup::detail
