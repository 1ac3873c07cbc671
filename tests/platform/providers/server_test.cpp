#include <gtest/gtest.h>
#include <unistd.h>

#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/providers/registration.h"

namespace quorvale {
namespace {

class ProvidersServer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("prov-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    registry_ = std::make_unique<RegistryStore>(dir_ / "registry.reg");
    RegisterProviders(*registry_, "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    host_ = {registry_.get(), [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }};
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The transport's recipe: GET, then decode the body from GB2312.
  Variant Fetch(const std::string& url) {
    auto http = CreateObject("MSXML2.XMLHTTP", host_);
    CallMethod(http.get(), "Open", {Variant("GET"), Variant(url), Variant(false)});
    CallMethod(http.get(), "Send");
    if (GetProperty(http.get(), "ReadyState") != Variant(std::int32_t{4})) return Variant();
    Variant body = GetProperty(http.get(), "Responsebody");
    auto stream = CreateObject("adodb.stream", host_);
    PutProperty(stream.get(), "Type", Variant(std::int32_t{1}));
    PutProperty(stream.get(), "Mode", Variant(std::int32_t{3}));
    CallMethod(stream.get(), "Open");
    CallMethod(stream.get(), "Write", {body});
    PutProperty(stream.get(), "Position", Variant(std::int32_t{0}));
    PutProperty(stream.get(), "Type", Variant(std::int32_t{2}));
    PutProperty(stream.get(), "Charset", Variant("GB2312"));
    Variant text = CallMethod(stream.get(), "ReadText");
    CallMethod(stream.get(), "Close");
    return text;
  }

  std::filesystem::path dir_;
  std::unique_ptr<RegistryStore> registry_;
  ComHost host_;
};

TEST_F(ProvidersServer, LateBoundRequestAndDecode) {
  LoopbackAgent agent;
  agent.body_ = "\xD6\xD0\xCE\xC4\xE9\x46";
  EXPECT_EQ(Fetch(agent.Url("/Hello?ServerPassWord=x")), Variant("中文镕"));
  EXPECT_EQ(agent.target_, "/Hello?ServerPassWord=x");
  agent.body_ = "";
  EXPECT_EQ(Fetch(agent.Url("/Hello?ServerPassWord=x")), Variant(""));
}

TEST_F(ProvidersServer, ErrorsReachTheCaller) {
  auto stream = CreateObject("ADODB.Stream", host_);
  EXPECT_THROW(CallMethod(stream.get(), "ReadText"), RaisedError);
  auto http = CreateObject("msxml2.xmlhttp", host_);
  EXPECT_THROW(CallMethod(http.get(), "Open", {Variant("GET")}), RaisedError);
  EXPECT_THROW(CallMethod(http.get(), "Open", {Variant("GET"), Variant(Variant::Array{}), Variant(false)}),
               RaisedError);
}

}  // namespace
}  // namespace quorvale
