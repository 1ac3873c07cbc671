// The management classes: their tables, the one list of them that the class
// factories, the registration and the dispatch all read, and the late-bound
// object built from a class.
#pragma once

#include <span>

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

// One class of the library: its table, its identifiers, its dispatch
// members (DISPID 0x60030000 + position) and its class factory.
class ComponentClass {
 public:
  explicit ComponentClass(const ClassTable& table);
  ComponentClass(const ComponentClass&) = delete;
  ComponentClass& operator=(const ComponentClass&) = delete;

  const ClassTable& table;
  const Guid clsid, iid;
  const std::vector<Member> members;
  IClassFactory& Factory() const { return factory_; }

  // The member of a name, found without regard to case by a binary search,
  // or of a DISPID, found by its position: a call touches few members.
  const Member* Named(const std::string& name) const;
  const Member* WithId(DISPID id) const;

 private:
  mutable MakerFactory factory_;
  const std::vector<std::size_t> by_name_;  // positions, in the order of their names
};

// Host, Ftp, System, Mail, Dns, SQL: the order in which the library and its
// type library declare them.
std::span<const ComponentClass> ComponentClasses();

// An object of a management class, answering by name and DISPID.
class ClassObject : public DispatchBase {
 public:
  explicit ClassObject(const ComponentClass& cls) : class_(cls) {}

 protected:
  const std::vector<Member>& Members() const override { return class_.members; }
  const Member* FindMember(const std::string& name) const override { return class_.Named(name); }
  const Member* FindMember(DISPID id) const override { return class_.WithId(id); }
  bool Implements(const Guid& iid) const override { return iid == class_.iid; }

 private:
  const ComponentClass& class_;
};

}  // namespace quorvale::component
