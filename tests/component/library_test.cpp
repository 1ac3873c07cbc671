#include "quorvale/component/library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/com/dispatch_base.h"
#include "quorvale/com/resources.h"
#include "quorvale/component/classes.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/providers/registration.h"

namespace quorvale::component {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  if (pipe) ::pclose(pipe);
  return out;
}

TEST(QuorvaleLibrary, ExportsOnlyItsEntryPoints) {
  std::istringstream lines(Output("nm -D --defined-only " + std::string(QUORVALE_PATH)));
  std::set<std::string> exported;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string address, kind, name;
    if (words >> address >> kind >> name && kind == "T") exported.insert(name);
  }
  EXPECT_EQ(exported, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                             "DllUnregisterServer"}));
}

TEST(QuorvaleLibrary, VersionBlockReadsOffTheFile) {
  auto block = ReadResource(QUORVALE_PATH, "VERSION", 1);
  ASSERT_TRUE(block);
  auto v = ParseVersionBlock(*block);
  const std::string s = "\\StringFileInfo\\080404B0\\";
  EXPECT_EQ(v["FILEVERSION"], "3.0.0.0");
  EXPECT_EQ(v["PRODUCTVERSION"], "3.0.0.0");
  EXPECT_EQ(v["FILETYPE"], "DLL");
  EXPECT_EQ(v["\\VarFileInfo\\Translation"], "0x0804 1200");
  EXPECT_EQ(v[s + "ProductName"], "Quorvale虚拟主机管理系统");
  EXPECT_EQ(v[s + "FileDescription"], "Quorvale虚拟主机管理系统v3.0 主控端");
  EXPECT_EQ(v[s + "FileVersion"], "3.00");
  EXPECT_EQ(v[s + "ProductVersion"], "3.00");
  EXPECT_EQ(v[s + "InternalName"], "Quorvale");
  EXPECT_EQ(v[s + "LegalTrademarks"], "Quorvale");
  EXPECT_EQ(v[s + "OriginalFilename"], "Quorvale.dll");
  ASSERT_TRUE(v.count(s + "OLESelfRegister"));
  EXPECT_EQ(v[s + "OLESelfRegister"], "");
}

TEST(QuorvaleLibrary, TypeLibraryCarriedInTheFile) {
  auto lib = LoadTypeLib(QUORVALE_PATH);
  ASSERT_TRUE(lib);
  EXPECT_EQ(*lib, ComponentTypeLib());
  EXPECT_EQ(lib->name, "Quorvale");
  EXPECT_EQ(lib->libid.ToString(), kLibid);
  EXPECT_EQ(lib->major, 98);
  EXPECT_EQ(lib->minor, 0);
  EXPECT_EQ(lib->lcid, 0u);
  ASSERT_EQ(lib->imports.size(), 1u);
  EXPECT_EQ(lib->imports[0].libid.ToString(), "{00020430-0000-0000-C000-000000000046}");
  std::vector<std::string> order;
  std::size_t methods = 0;
  for (const auto& t : lib->types) {
    order.push_back(t.name);
    methods += t.funcs.size();
    if (t.kind == TypeDesc::kInterface) {
      EXPECT_EQ(t.flags, (std::vector<std::string>{"hidden", "dual", "nonextensible", "oleautomation"}));
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"_Host", "Host", "_Ftp", "Ftp", "_System", "System", "_Mail",
                                             "Mail", "_Dns", "Dns", "_SQL", "SQL"}));
  EXPECT_EQ(methods, 176u);
  const TypeDesc* host = lib->Find("_Host");
  ASSERT_TRUE(host);
  ASSERT_GT(host->funcs.size(), 65u);
  EXPECT_EQ(host->funcs[65].id, 0x60030041);
  const TypeDesc* mail = lib->Find("Mail");
  ASSERT_TRUE(mail);
  EXPECT_EQ(mail->base, "_Mail");
  EXPECT_FALSE(ParseTypeLib("library x"));
  EXPECT_FALSE(ParseTypeLib("interface _X {0} 1.0 : IDispatch"));
}

// A machine with the providers registered and Quorvale.dll copied into
// its system folder, as the control-end setup leaves it.
class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = fs::temp_directory_path() / ("quorvale-lib-" + std::to_string(::getpid()));
    fs::create_directories(machine_ / "drives/C/WINDOWS/system32");
    fs::copy_file(QUORVALE_PATH, machine_ / "drives/C/WINDOWS/system32/Quorvale.dll");
    ::setenv("QUORVALE_MACHINE", machine_.c_str(), 1);
    SetDefaultComHost({});
    RegistryStore registry(RegistryFileOf(machine_));
    RegisterProviders(registry, PROVIDERS_PATH);
    // Every Windows registry has these.
    registry.CreateKey("HKEY_CLASSES_ROOT\\Interface");
    registry.CreateKey("HKEY_CLASSES_ROOT\\TypeLib");
    library_ = ::dlopen((machine_ / "drives/C/WINDOWS/system32/Quorvale.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library_) << ::dlerror();
  }
  void TearDown() override {
    ::unsetenv("QUORVALE_MACHINE");
    fs::remove_all(machine_);
  }
  template <class F>
  F Entry(const char* name) {
    return reinterpret_cast<F>(::dlsym(library_, name));
  }
  std::optional<std::string> Text(const std::string& key, const std::string& name = "") {
    auto v = RegistryStore(RegistryFileOf(machine_)).GetValue(key, name);
    return v ? std::optional(v->AsText()) : std::nullopt;
  }

  fs::path machine_;
  void* library_ = nullptr;
};

TEST_F(Registration, RoundTrip) {
  const std::string before = ReadFile(RegistryFileOf(machine_));
  ASSERT_EQ(Entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
  const std::string root = "HKEY_CLASSES_ROOT\\";
  for (const ComponentClass& c : ComponentClasses()) {
    const ClassTable* cls = &c.table;
    const std::string clsid = root + "CLSID\\" + cls->clsid;
    EXPECT_EQ(Text(root + "Quorvale." + cls->name + "\\CLSID"), cls->clsid);
    EXPECT_EQ(Text(clsid + "\\InprocServer32"), "C:\\WINDOWS\\system32\\Quorvale.dll");
    EXPECT_EQ(Text(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Text(clsid + "\\ProgID"), "Quorvale." + cls->name);
    EXPECT_EQ(Text(clsid + "\\TypeLib"), kLibid);
    const std::string iface = root + "Interface\\" + cls->iid;
    EXPECT_EQ(Text(iface), "_" + cls->name);
    EXPECT_EQ(Text(iface + "\\ProxyStubClsid32"), "{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(Text(iface + "\\TypeLib"), kLibid);
    EXPECT_EQ(Text(iface + "\\TypeLib", "Version"), "62.0");
  }
  EXPECT_EQ(Text(root + "TypeLib\\" + kLibid + "\\62.0"), "Quorvale");
  EXPECT_EQ(Text(root + "TypeLib\\" + kLibid + "\\62.0\\0\\win32"), "C:\\WINDOWS\\system32\\Quorvale.dll");
  auto lib = LoadRegTypeLib(*Guid::Parse(kLibid), 98, 0);
  ASSERT_TRUE(lib);
  EXPECT_EQ(*lib, ComponentTypeLib());

  // Registering twice changes nothing; unregistering leaves the registry
  // byte for byte as it was.
  const std::string registered = ReadFile(RegistryFileOf(machine_));
  ASSERT_EQ(Entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
  EXPECT_EQ(ReadFile(RegistryFileOf(machine_)), registered);
  // A class created once is refused as soon as it is unregistered.
  EXPECT_TRUE(CreateObject("Quorvale.Host"));
  ASSERT_EQ(Entry<DllRegisterServerFn>("DllUnregisterServer")(), S_OK);
  EXPECT_EQ(ReadFile(RegistryFileOf(machine_)), before);
  try {
    CreateObject("Quorvale.Host");
    ADD_FAILURE() << "an unregistered class was created";
  } catch (const RaisedError& e) {
    EXPECT_EQ(e.Number(), 429);
  }
}

TEST_F(Registration, EveryMethodAnswersThroughTheRegisteredLibrary) {
  ASSERT_EQ(Entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
  auto can_unload = Entry<DllCanUnloadNowFn>("DllCanUnloadNow");
  EXPECT_EQ(can_unload(), S_OK);
  LoopbackAgent agent;
  agent.body_ = "\xB3\xC9\xB9\xA6";  // 成功
  std::size_t answered = 0;
  for (const auto& type : ComponentTypeLib().types) {
    if (type.kind != TypeDesc::kCoClass) continue;
    auto object = CreateObject("Quorvale." + type.name);
    EXPECT_EQ(can_unload(), S_FALSE);
    const TypeDesc* base = ComponentTypeLib().Find(type.base);
    ASSERT_TRUE(base) << type.base;
    for (const auto& f : base->funcs) {
      // The type information and GetIDsOfNames agree on every name.
      std::vector<std::string> names = {f.name};
      names.insert(names.end(), f.params.begin(), f.params.end());
      std::vector<DISPID> ids, expected = {f.id};
      for (std::size_t p = 0; p < f.params.size(); ++p) expected.push_back(static_cast<DISPID>(p));
      ASSERT_EQ(object->GetIDsOfNames(names, &ids), S_OK) << f.name;
      EXPECT_EQ(ids, expected) << f.name;

      std::vector<Variant> args(f.params.size(), Variant("1"));
      args[0] = Variant("127.0.0.1");
      args[1] = Variant(std::int32_t{agent.port_});
      if (type.name == "Mail") args[3] = Variant("IMail");
      if (type.name == "SQL") args[3] = Variant("MSSQL");
      std::vector<Variant*> refs;
      for (auto& a : args) refs.push_back(&a);
      Variant result;
      ExcepInfo excep;
      ASSERT_EQ(object->Invoke(f.id, DISPATCH_METHOD, refs, &result, &excep), S_OK) << f.name;
      EXPECT_EQ(result, Variant("成功")) << type.name << "." << f.name;
      ++answered;
    }
  }
  EXPECT_EQ(answered, 176u);
  EXPECT_EQ(can_unload(), S_OK);
  // A server lock keeps the library loaded like a live object does.
  auto factory_of = Entry<DllGetClassObjectFn>("DllGetClassObject");
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(factory_of(*Guid::Parse(HostTable().clsid), IID_IClassFactory, factory.out()), S_OK);
  factory->LockServer(true);
  EXPECT_EQ(can_unload(), S_FALSE);
  factory->LockServer(false);
  factory->LockServer(false);
  EXPECT_EQ(can_unload(), S_OK);
  EXPECT_EQ(factory_of(*Guid::Parse(kLibid), IID_IClassFactory, factory.out()), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace quorvale::component
