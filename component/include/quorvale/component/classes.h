// The management classes: their tables and the late-bound object built
// from a table.
#pragma once

#include "quorvale/com/dispatch_base.h"
#include "quorvale/component/method_table.h"

namespace quorvale::component {

const ClassSpec& HostSpec();
const ClassSpec& FtpSpec();
const ClassSpec& SystemSpec();
const ClassSpec& DnsSpec();
const ClassSpec& MailSpec();
const ClassSpec& SQLSpec();

// Runs one method by the common skeleton: the query from the method's own
// parameters, one SendCommand, its result. Never raises.
Variant RunMethod(const ClassSpec& cls, const MethodSpec& method, const std::vector<Variant*>& args);

// An object of a management class, answering by name and DISPID.
class ClassObject : public DispatchBase {
 public:
  explicit ClassObject(const ClassSpec& spec);

 protected:
  const std::vector<Member>& Members() const override { return *members_; }
  bool Implements(const Guid& iid) const override;

 private:
  const ClassSpec& spec_;
  const std::vector<Member>* members_;
};

}  // namespace quorvale::component
