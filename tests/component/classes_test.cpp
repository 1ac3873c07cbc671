#include "quorvale/component/classes.h"

#include <gtest/gtest.h>

#include "loopback_agent.h"
#include "transport_fixture.h"

namespace quorvale::component {
namespace {

using Classes = TransportFixture;

// The library's class of a table.
const ComponentClass& ClassOf(const ClassTable& table) {
  for (const ComponentClass& cls : ComponentClasses())
    if (&cls.table == &table) return cls;
  throw std::logic_error("no class for " + table.name);
}

// Calls a method late bound, with the agent address and own values.
Variant CallOn(const ClassTable& cls, LoopbackAgent& agent, const std::string& method,
               std::vector<Variant> own) {
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(new ClassObject(ClassOf(cls)));
  std::vector<Variant> args = {Variant("127.0.0.1"), Variant(std::int32_t{agent.port_}), Variant("pw")};
  args.insert(args.end(), own.begin(), own.end());
  std::vector<Variant*> refs;
  for (auto& a : args) refs.push_back(&a);
  Variant result = Call(host.get(), method, DISPATCH_METHOD, refs);
  // Parameters go by reference but come back unchanged.
  for (std::size_t i = 3; i < args.size(); ++i) EXPECT_EQ(args[i], own[i - 3]) << method;
  return result;
}

Variant CallHost(LoopbackAgent& agent, const std::string& method, std::vector<Variant> own) {
  return CallOn(HostTable(), agent, method, std::move(own));
}

TEST_F(Classes, IrregularKeysAndOrders) {
  struct Case {
    const char* method;
    std::vector<Variant> own;
    const char* target;
  } cases[] = {
      {"GetState", {std::int32_t{12}}, "/GetState?ServerPassWord=pw&SiteNum=12"},
      {"SetSize", {"1", "100"}, "/SetSize?ServerPassWord=pw&SiteNum=1&Size=100"},
      {"SetDefaultDoc", {"1", "a.htm"}, "/SetDefaultDoc?ServerPassWord=pw&SiteNum=1&Doc=a.htm"},
      {"SetAppIsolated", {"1", "2"}, "/SetAppIsolated?ServerPassWord=pw&SiteNum=1&AppIsolated=2"},
      {"ScriptMaps", {"1", ".php"}, "/ScriptMaps?ServerPassWord=pw&SiteNum=1&HostScript=.php"},
      {"Compression", {"1", "d", "f"}, "/Compression?ServerPassWord=pw&SiteNum=1&FolderName=d&FileName=f"},
      {"Decompress",
       {"1", "f", "d", "1"},
       "/Decompress?ServerPassWord=pw&SiteNum=1&FileName=f&FolderName=d&Coverage=1"},
      {"ModifyPassWord", {"1", Variant()}, "/ModifyPassWord?ServerPassWord=pw&SiteNum=1&PassWord="},
  };
  for (const auto& c : cases) {
    agent_.body_ = "ok";
    EXPECT_EQ(CallHost(agent_, c.method, c.own), Variant("ok")) << c.method;
    EXPECT_EQ(agent_.target_, c.target) << c.method;
  }
}

TEST_F(Classes, CreateHostSendsAllPairsInOrder) {
  std::vector<Variant> own(21, Variant(""));
  own[0] = Variant(std::int32_t{7});
  CallHost(agent_, "CreateHost", own);
  EXPECT_EQ(
      agent_.target_,
      "/CreateHost?ServerPassWord=pw&SiteNum=7&Domain=&FtpUser=&FtpPass=&MaxSpace=&HostDirectory=&LogType="
      "&LogSpace=&HostSize=&MaxBandwidth=&Connections=&CPULimit=&UpSpeed=&DownSpeed=&FtpConnections="
      "&AccessFlags=&HostAppIsolated=&AppPool=&DefaultDoc=&Footer=&HostScript=");
}

TEST_F(Classes, DispidsFollowTableOrder) {
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(new ClassObject(ClassOf(HostTable())));
  ASSERT_EQ(HostTable().methods.size(), 66u);
  for (std::size_t i = 0; i < HostTable().methods.size(); ++i) {
    std::vector<DISPID> ids;
    ASSERT_EQ(host->GetIDsOfNames({HostTable().methods[i].name}, &ids), S_OK);
    EXPECT_EQ(ids[0], 0x60030000 + static_cast<DISPID>(i));
  }
  std::vector<DISPID> ids;
  host->GetIDsOfNames({"getmimetype"}, &ids);
  EXPECT_EQ(ids[0], 0x60030041);
  // Parameter names map to their positions in the full declaration.
  ASSERT_EQ(host->GetIDsOfNames({"CreateHost", "ServerIP", "SiteNum", "HostScript"}, &ids), S_OK);
  EXPECT_EQ(ids, (std::vector<DISPID>{0x60030000, 0, 3, 23}));
  EXPECT_EQ(host->GetIDsOfNames({"GetState", "Size"}, &ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[1], -1);
  // Names that sort next to real ones, and DISPIDs just outside the table.
  for (const char* name : {"", "A", "CreateHos", "CreateHostX", "GETSTAT", "zzz", "GetState "})
    EXPECT_EQ(host->GetIDsOfNames({name}, &ids), DISP_E_UNKNOWNNAME) << name;
  Variant result;
  ExcepInfo excep;
  for (DISPID id : {0x5FFFFFFF, 0x60030042, 0, -1})
    EXPECT_EQ(host->Invoke(id, DISPATCH_METHOD, {}, &result, &excep), DISP_E_MEMBERNOTFOUND) << id;
}

TEST_F(Classes, OtherPlainClasses) {
  struct Case {
    const ClassTable& cls;
    std::size_t count;
    const char* method;
    std::vector<Variant> own;
    const char* target;
  } cases[] = {
      {FtpTable(),
       20,
       "ModifyFtpPassWord",
       {"u", "p"},
       "/ModifyFtpPassWord?ServerPassWord=pw&FtpUser=u&PassWord=p"},
      {SystemTable(), 31, "Hello", {}, "/Hello?ServerPassWord=pw"},
      {SystemTable(), 31, "ReStartComputer", {}, "/ReStartComputer?ServerPassWord=pw"},
      {SystemTable(), 31, "StartiMail", {}, "/StartiMail?ServerPassWord=pw"},
      {DnsTable(),
       26,
       "CreateURLRecord",
       {"d", "r", "u", "m"},
       "/CreateURLRecord?ServerPassWord=pw&Domain=d&Record=r&URL=u&Mode=m"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.cls.methods.size(), c.count) << c.cls.name;
    agent_.body_ = "ok";
    EXPECT_EQ(CallOn(c.cls, agent_, c.method, c.own), Variant("ok")) << c.method;
    EXPECT_EQ(agent_.target_, c.target) << c.method;
  }
}

TEST_F(Classes, TypeSelectors) {
  Variant arr(Variant::Array{});
  struct Case {
    const ClassTable& cls;
    const char* method;
    std::vector<Variant> own;  // the selector first
    const char* target;        // nullptr: refused, nothing sent
  } cases[] = {
      {MailTable(), "GetMailServer", {"iMail"}, "/GetMailServer?ServerPassWord=pw"},
      {MailTable(), "GetMailServer", {"winwebmail"}, "/MailCtrl.asp?ServerPassWord=pw&Action=GetMailServer"},
      {MailTable(),
       "GetMailUserA",
       {"WinWebMail", "a&b"},
       "/MailCtrl.asp?ServerPassWord=pw&Action=GetMailUserA&Domain=a&b"},
      {MailTable(),
       "CreateMailUser",
       {"IMAIL", "d", "u", "p", "9"},
       "/CreateMailUser?ServerPassWord=pw&Domain=d&User=u&PassWord=p&MaxSpace=9"},
      {MailTable(), "DeleteMail", {" IMAIL", "d"}, nullptr},
      {MailTable(), "DeleteMail", {"", "d"}, nullptr},
      {MailTable(), "DeleteMail", {Variant(), "d"}, nullptr},
      {MailTable(), "DeleteMail", {Variant::Null(), "d"}, nullptr},
      {MailTable(), "DeleteMail", {std::int32_t{1}, "d"}, nullptr},
      {MailTable(), "DeleteMail", {arr, arr}, nullptr},
      {SQLTable(),
       "CreateSQL",
       {"MySQL", "db", "p", "D:\\d", "5"},
       "/CreateMySQL?ServerPassWord=pw&DataBase=db&PassWord=p&DataDirectory=D:\\d&MaxSpace=5"},
      {SQLTable(), "GetSQLServer", {"mssql"}, "/GetmssqlServer?ServerPassWord=pw"},
      {SQLTable(),
       "ModifySQLPassWord",
       {"MSSQL", "db", "x"},
       "/ModifyMSSQLPassWord?ServerPassWord=pw&DataBase=db&PassWord=x"},
      {SQLTable(), "ClearSQLLog", {"MsSql", "db"}, "/ClearMSSQLLog?ServerPassWord=pw&DataBase=db"},
      {SQLTable(), "ClearSQLLog", {"MySQL", "db"}, nullptr},
      {SQLTable(), "DeleteSQL", {"ORACLE", arr}, nullptr},
  };
  for (const auto& c : cases) {
    agent_.target_ = "none";
    agent_.body_ = "ok";
    Variant got = CallOn(c.cls, agent_, c.method, c.own);
    if (c.target) {
      EXPECT_EQ(got, Variant("ok")) << c.method;
      EXPECT_EQ(agent_.target_, c.target) << c.method;
    } else {
      EXPECT_EQ(got, Variant(&c.cls == &MailTable() ? "MailType Error!" : "SQLType Error!")) << c.method;
      EXPECT_EQ(agent_.target_, "none") << c.method;
    }
  }
  EXPECT_EQ(MailTable().methods.size(), 21u);
  EXPECT_EQ(SQLTable().methods.size(), 12u);
}

TEST_F(Classes, NoTextFormMeansNoRequest) {
  agent_.target_ = "none";
  Variant arr(Variant::Array{});
  EXPECT_TRUE(CallHost(agent_, "GetState", {arr}).IsEmpty());
  EXPECT_EQ(agent_.target_, "none");
}

}  // namespace
}  // namespace quorvale::component
