// ADODB.Connection as the recipes and the pages call it: late bound, each
// call with resume-on-error, so a failed create or open leaves a handle on which the
// later calls fail and are skipped.
#pragma once

#include <optional>
#include <string>

#include "quorvale/com/unknown.h"
#include "quorvale/core/err.h"
#include "quorvale/core/variant.h"

namespace quorvale::setup::detail {

// A new ADODB.Connection in connection, opened; true when it opened.
bool Connect(Err& err, ComPtr<IDispatch>& connection, const std::string& connection_string);
// Connection.Execute; the recordset in result when given. True when it ran.
bool Execute(Err& err, IDispatch* connection, const std::string& sql, Variant* result = nullptr);
void Close(Err& err, IDispatch* connection);
// Whether the recordset has no current row; true also when that cannot be read.
bool AtEnd(Err& err, const Variant& recordset);
// rs(field), the value of the current row.
Variant FieldValue(Err& err, const Variant& recordset, const std::string& field);
bool MoveNext(Err& err, const Variant& recordset);

// The value as a whole number from 1 up, or nothing: a spid goes into a
// statement only in this form.
std::optional<long> WholeNumber(const Variant& value);

}  // namespace quorvale::setup::detail
