// The management classes: their tables and the late-bound object built
// from a table.
#pragma once

#include "quorvale/com/dispatch_base.h"
#include "quorvale/component/method_table.h"

namespace quorvale::component {

const ClassTable& HostTable();
const ClassTable& FtpTable();
const ClassTable& SystemTable();
const ClassTable& DnsTable();
const ClassTable& MailTable();
const ClassTable& SQLTable();

// Runs one method by the common skeleton: the query from the method's own
// parameters, one SendCommand, its result. Never raises.
Variant RunMethod(const ClassTable& cls, const MethodEntry& method, const std::vector<Variant*>& args);

// An object of a management class, answering by name and DISPID.
class ClassObject : public DispatchBase {
 public:
  explicit ClassObject(const ClassTable& table);

 protected:
  const std::vector<Member>& Members() const override { return *members_; }
  bool Implements(const Guid& iid) const override;

 private:
  const ClassTable& table_;
  const std::vector<Member>* members_;
};

}  // namespace quorvale::component
