#include <gtest/gtest.h>

#include "loopback_agent.h"
#include "quorvale/component/classes.h"
#include "transport_fixture.h"

namespace quorvale::component {
namespace {

using HostClass = TransportFixture;

// Calls a Host method late bound, with the agent address and own values.
Variant CallHost(LoopbackAgent& agent, const std::string& method, std::vector<Variant> own) {
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(new ClassObject(HostSpec()));
  std::vector<Variant> args = {Variant("127.0.0.1"), Variant(std::int32_t{agent.port_}), Variant("pw")};
  args.insert(args.end(), own.begin(), own.end());
  std::vector<Variant*> refs;
  for (auto& a : args) refs.push_back(&a);
  return Call(host.get(), method, DISPATCH_METHOD, refs);
}

TEST_F(HostClass, IrregularKeysAndOrders) {
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

TEST_F(HostClass, CreateHostSendsAllPairsInOrder) {
  std::vector<Variant> own(21, Variant(""));
  own[0] = Variant(std::int32_t{7});
  CallHost(agent_, "CreateHost", own);
  EXPECT_EQ(
      agent_.target_,
      "/CreateHost?ServerPassWord=pw&SiteNum=7&Domain=&FtpUser=&FtpPass=&MaxSpace=&HostDirectory=&LogType="
      "&LogSpace=&HostSize=&MaxBandwidth=&Connections=&CPULimit=&UpSpeed=&DownSpeed=&FtpConnections="
      "&AccessFlags=&HostAppIsolated=&AppPool=&DefaultDoc=&Footer=&HostScript=");
}

TEST_F(HostClass, DispidsFollowTableOrder) {
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(new ClassObject(HostSpec()));
  ASSERT_EQ(HostSpec().methods.size(), 66u);
  for (std::size_t i = 0; i < HostSpec().methods.size(); ++i) {
    std::vector<DISPID> ids;
    ASSERT_EQ(host->GetIDsOfNames({HostSpec().methods[i].name}, &ids), S_OK);
    EXPECT_EQ(ids[0], 0x60030000 + static_cast<DISPID>(i));
  }
  std::vector<DISPID> ids;
  host->GetIDsOfNames({"getmimetype"}, &ids);
  EXPECT_EQ(ids[0], 0x60030041);
}

TEST_F(HostClass, NoTextFormMeansNoRequest) {
  agent_.target_ = "none";
  Variant arr(Variant::Array{});
  EXPECT_TRUE(CallHost(agent_, "GetState", {arr}).IsEmpty());
  EXPECT_EQ(agent_.target_, "none");
}

}  // namespace
}  // namespace quorvale::component
