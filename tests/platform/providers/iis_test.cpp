#include <fstream>

#include "machine_fixture.h"
#include "quorvale/machine/metabase.h"

namespace quorvale {
namespace {

class Iis : public OnMachine {
 protected:
  // The site recipe: site with its properties, SetInfo; root with its
  // path, SetInfo, access flags, application; SetInfo.
  void CreateSite(const std::string& n, const std::string& binding, const std::string& folder) {
    auto w3svc = Bind("IIS://localhost/w3svc");
    auto site = Obj(CallMethod(w3svc.get(), "Create", {Variant("IIsWebServer"), Variant(n)}));
    Put(site, "ServerBindings", Variant(Variant::Array{Variant(binding)}));
    Put(site, "ServerComment", Variant("HostSystem"));
    Put(site, "AnonymousUserName", Variant("IUSR_" + n));
    Put(site, "AnonymousUserPass", Variant("pw"));
    Put(site, "AuthFlags", Variant(std::int16_t{5}));
    Put(site, "KeyType", Variant("IIsWebServer"));
    Put(site, "FrontPageWeb", Variant(false));
    Put(site, "EnableDefaultDoc", Variant(true));
    Put(site, "DefaultDoc", Variant("Index.asp"));
    Put(site, "AspEnableParentPaths", Variant(true));
    CallMethod(site.get(), "SetInfo");
    auto root = Obj(CallMethod(site.get(), "Create", {Variant("IIsWebVirtualDir"), Variant("ROOT")}));
    Put(root, "path", Variant(folder));
    CallMethod(root.get(), "SetInfo");
    Put(root, "AccessScript", Variant(true));
    Put(root, "AccessSource", Variant(false));
    Put(root, "AccessRead", Variant(true));
    Put(root, "AccessWrite", Variant(false));
    Put(root, "AppFriendlyName", Variant("默认应用程序"));
    CallMethod(root.get(), "AppCreate", {Variant(true)});
    CallMethod(root.get(), "SetInfo");
  }
  std::string MetabaseText() { return ReadStateFile(Metabase::FileOf(temp_.Folder())).value_or(""); }
};

TEST_F(Iis, FreshIisHasTheDefaultWebSite) {
  auto site = Bind("IIS://localhost/w3svc/1");
  EXPECT_EQ(Get(site, "ServerComment"), Variant("Default Web Site"));
  EXPECT_EQ(Get(site, "ServerBindings"), Variant(Variant::Array{Variant(":80:")}));
  EXPECT_EQ(Get(site, "Class"), Variant("IIsWebServer"));
  EXPECT_EQ(Get(Bind("IIS://localhost/W3SVC/1/Root"), "Path"), Variant("C:\\Inetpub\\wwwroot"));
}

TEST_F(Iis, SiteCreatedBoundStartedEnumeratedDeleted) {
  CreateSite("12345", ":80:www.example.com", "C:\\Quorvale\\Web");
  auto site = Bind("IIS://localhost/w3svc/12345");
  EXPECT_EQ(Get(site, "ServerBindings"), Variant(Variant::Array{Variant(":80:www.example.com")}));
  EXPECT_EQ(Get(site, "AuthFlags"), Variant(std::int32_t{5}));
  EXPECT_EQ(Get(site, "FrontPageWeb"), Variant(false));
  EXPECT_EQ(Get(site, "AspEnableParentPaths"), Variant(true));
  auto root = Bind("IIS://localhost/w3svc/12345/ROOT");
  EXPECT_EQ(Get(root, "Path"), Variant("C:\\Quorvale\\Web"));
  EXPECT_EQ(Get(root, "AccessFlags"), Variant(std::int32_t{0x201}));  // read and script
  EXPECT_EQ(Get(root, "AccessSource"), Variant(false));
  EXPECT_EQ(Get(root, "AppFriendlyName"), Variant("默认应用程序"));
  EXPECT_EQ(Get(root, "AppRoot"), Variant("/LM/W3SVC/12345/ROOT"));
  EXPECT_EQ(Get(root, "AppIsolated"), Variant(std::int32_t{0}));
  // The root inherits what its site does not set itself.
  EXPECT_EQ(Get(root, "AnonymousUserName"), Variant("IUSR_12345"));

  CallMethod(site.get(), "Start");
  EXPECT_EQ(Get(Bind("IIS://localhost/w3svc/12345"), "ServerState"), Variant(std::int32_t{2}));

  // The domain check walks the sites and their bindings.
  std::vector<std::string> bindings;
  for (const Variant& child : ForEachItem(Bind("IIS://localhost/w3svc").get())) {
    auto c = Obj(child);
    if (Get(c, "Class") != Variant("IIsWebServer")) continue;
    const Variant list = Get(c, "ServerBindings");
    ASSERT_TRUE(list.AsArray());
    for (const Variant& b : *list.AsArray()) bindings.push_back(b.TextForm().value_or("<no text form>"));
  }
  EXPECT_EQ(bindings, (std::vector<std::string>{":80:", ":80:www.example.com"}));

  CallMethod(Bind("IIS://localhost/w3svc").get(), "Delete", {Variant("IIsWebServer"), Variant("12345")});
  EXPECT_EQ(BindError("IIS://localhost/w3svc/12345"), kPathNotFound);
  EXPECT_EQ(BindError("IIS://localhost/w3svc/12345/ROOT"), kPathNotFound);
  EXPECT_EQ(MetabaseText().find("12345"), std::string::npos);
}

TEST_F(Iis, BindsAndTheirErrors) {
  struct Case {
    const char* name;
    std::int32_t error;
  } cases[] = {
      {"IIS://localhost/w3svc", 0},
      {"IIS://LOCALHOST/W3SVC/", 0},
      {"IIS://QUORVALE/w3svc/1", 0},
      {"IIS://localhost/w3svc/2", kPathNotFound},
      {"IIS://localhost/w3svc/1/ROOT/none", kPathNotFound},
      {"IIS://otherhost/w3svc", static_cast<std::int32_t>(0x80005000)},
      {"IIS:localhost", static_cast<std::int32_t>(0x80005000)},
      {"NoSuchProvider://x", 429},
      {"no moniker", static_cast<std::int32_t>(MK_E_SYNTAX)},
  };
  for (const auto& c : cases) EXPECT_EQ(BindError(c.name), c.error) << c.name;
}

TEST_F(Iis, FailingCallsChangeNothing) {
  const std::string before = MetabaseText();
  auto w3svc = Bind("IIS://localhost/w3svc");
  // A number taken already: Create refuses it.
  EXPECT_EQ(ErrorOf([&] {
              CallMethod(w3svc.get(), "Create", {Variant("IIsWebServer"), Variant("1")});
            }),
            static_cast<std::int32_t>(0x800700B7));
  // A root directory of a site that was never saved cannot be saved.
  auto site = Obj(CallMethod(w3svc.get(), "Create", {Variant("IIsWebServer"), Variant("7")}));
  auto root = Obj(CallMethod(site.get(), "Create", {Variant("IIsWebVirtualDir"), Variant("ROOT")}));
  EXPECT_EQ(ErrorOf([&] { CallMethod(root.get(), "SetInfo"); }), kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { CallMethod(root.get(), "AppCreate", {Variant(true)}); }), kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { CallMethod(site.get(), "Start"); }), kPathNotFound);
  // Properties the class does not have, and values of the wrong kind.
  EXPECT_EQ(ErrorOf([&] { Put(site, "Path", Variant("C:\\")); }), 438);
  EXPECT_EQ(ErrorOf([&] { Put(site, "NoSuchThing", Variant(1)); }), 438);
  EXPECT_EQ(ErrorOf([&] { CallMethod(site.get(), "AppCreate", {Variant(true)}); }), 438);
  EXPECT_EQ(ErrorOf([&] { Put(site, "ServerBindings", Variant(Variant::Array{Variant("a\nb")})); }), 13);
  EXPECT_EQ(ErrorOf([&] { Put(site, "AuthFlags", Variant("five")); }), 13);
  EXPECT_EQ(ErrorOf([&] {
              CallMethod(w3svc.get(), "Delete", {Variant("IIsWebVirtualDir"), Variant("1")});
            }),
            kPathNotFound);
  EXPECT_EQ(ErrorOf([&] {
              CallMethod(w3svc.get(), "Create", {Variant("IIsWebServer"), Variant("a/b")});
            }),
            static_cast<std::int32_t>(0x80005000));
  EXPECT_EQ(MetabaseText(), before);
}

TEST_F(Iis, SitesDoNotStartWhileTheWebServiceIsStopped) {
  auto w3svc = temp_.machine().FindService("W3SVC");
  ASSERT_TRUE(w3svc);
  w3svc->state = "stopped";
  temp_.machine().SetService(*w3svc);
  EXPECT_EQ(ErrorOf([&] { CallMethod(Bind("IIS://localhost/w3svc/1").get(), "Start"); }),
            static_cast<std::int32_t>(0x80070426));
}

TEST_F(Iis, DamagedMetabaseFailsTheBind) {
  std::ofstream(Metabase::FileOf(temp_.Folder()))
      << "<configuration><MBProperty><IIsWebServer Location=\"/LM";
  EXPECT_NE(BindError("IIS://localhost/w3svc"), 0);
}

class NoIis : public OnMachine {
 protected:
  static MachineShape Shape() {
    MachineShape s;
    s.iis = false;
    return s;
  }
  NoIis() : OnMachine(Shape()) {}
};

TEST_F(NoIis, BindFails) {
  EXPECT_EQ(BindError("IIS://localhost/w3svc"), 429);
  EXPECT_FALSE(std::filesystem::exists(Metabase::FileOf(temp_.Folder())));
}

}  // namespace
}  // namespace quorvale
