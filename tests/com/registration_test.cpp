// Self-registration into the registry files, creation by ProgID through
// them, and the regsvr32 stand-in.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "com/com_host.h"
#include "com/posix/registry_activation.h"

namespace regwiz::test::com {
namespace {

using regwizard::com::ReadClassesRootText;

const std::string kClsid = "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}";
const std::string kLibId = "{D4E6CBD2-016B-11D3-AF9D-00A0245356AA}";
const std::string kDual = "{63A712EB-11F1-11D3-8739-00104B7930FA}";
const std::string kEvents = "{63A712EC-11F1-11D3-8739-00104B7930FA}";

// Sets an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(lib.registerServer, nullptr) << ::dlerror();
        ASSERT_NE(lib.unregisterServer, nullptr);
        std::filesystem::remove(machine.ClassesRoot());
    }
    void TearDown() override { std::filesystem::remove(machine.ClassesRoot()); }

    std::optional<std::string> Text(const std::string& key, const std::string& name = "")
    {
        return ReadClassesRootText(registry, key, name);
    }

    bool KeyExists(const std::string& key)
    {
        platform::KeyHandle handle = 0;
        const long rc = registry.OpenKey(platform::Hive::ClassesRoot, key,
                                         platform::KeyAccess::QueryValue, handle);
        registry.CloseKey(handle);
        return rc == platform::status::Success;
    }

    void SetText(const std::string& key, const std::string& text)
    {
        platform::KeyHandle handle = 0;
        ASSERT_EQ(registry.CreateKey(platform::Hive::ClassesRoot, key, handle), 0);
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        registry.SetValue(handle, "", platform::regtype::Sz, data);
        registry.CloseKey(handle);
    }

    std::string LibraryFile() const { return std::filesystem::canonical(lib.path).string(); }

    Library& lib = Library::Get();
    Machine& machine = Machine::Get();
    platform::posix::RegistryFiles registry{machine.Registry()};
};

TEST_F(RegistrationTest, RegisterServerWritesTheClassTypeLibraryAndInterfaces)
{
    const std::filesystem::path hklm = registry.HiveFile(platform::Hive::LocalMachine);
    const std::string settings = ReadBytes(hklm);
    ASSERT_EQ(lib.registerServer(), S_OK);

    const std::string clsid = "CLSID\\" + kClsid;
    EXPECT_EQ(Text(clsid), "RegEngine");
    EXPECT_EQ(Text(clsid + "\\InprocServer32"), LibraryFile());
    EXPECT_EQ(Text(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Text(clsid + "\\ProgID"), "RegWizard.RegEngine");
    EXPECT_EQ(Text(clsid + "\\TypeLib"), kLibId);
    EXPECT_EQ(Text(clsid + "\\Version"), "1.1");
    EXPECT_EQ(Text("RegWizard.RegEngine"), "RegEngine");
    EXPECT_EQ(Text("RegWizard.RegEngine\\CLSID"), kClsid);

    const std::string typeLib = "TypeLib\\" + kLibId + "\\1.1";
    EXPECT_EQ(Text(typeLib), "RegWizard");
    EXPECT_EQ(Text(typeLib + "\\0\\win32"), LibraryFile());
    EXPECT_EQ(Text(typeLib + "\\FLAGS"), "0");
    EXPECT_EQ(Text(typeLib + "\\HELPDIR"), std::filesystem::path(LibraryFile()).parent_path());

    EXPECT_EQ(Text("Interface\\" + kDual), "_RegEngine");
    EXPECT_EQ(Text("Interface\\" + kDual + "\\ProxyStubClsid32"),
              "{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(Text("Interface\\" + kEvents), "__RegEngine");
    EXPECT_EQ(Text("Interface\\" + kEvents + "\\ProxyStubClsid32"),
              "{00020420-0000-0000-C000-000000000046}");
    for (const std::string& iid : {kDual, kEvents}) {
        EXPECT_EQ(Text("Interface\\" + iid + "\\TypeLib"), kLibId);
        EXPECT_EQ(Text("Interface\\" + iid + "\\TypeLib", "Version"), "1.1");
    }

    const std::string once = ReadBytes(machine.ClassesRoot());
    ASSERT_EQ(lib.registerServer(), S_OK);
    EXPECT_EQ(ReadBytes(machine.ClassesRoot()), once) << "registering again changes nothing";
    EXPECT_EQ(ReadBytes(hklm), settings) << "only HKEY_CLASSES_ROOT is written";
}

TEST_F(RegistrationTest, UnregisterServerRemovesExactlyWhatRegistrationWrote)
{
    const std::string foreign = "REGEDIT4\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\CLSID]\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\CLSID\\{00000000-1111-2222-3333-"
                                "444444444444}]\r\n@=\"Other\"\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\Interface]\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\TypeLib]\r\n\r\n"
                                "[HKEY_CLASSES_ROOT\\TypeLib\\"
                                + kLibId + "]\r\n\r\n[HKEY_CLASSES_ROOT\\TypeLib\\" + kLibId
                                + "\\1.0]\r\n@=\"RegWizard 1.0\"\r\n\r\n";
    WriteBytes(machine.ClassesRoot(), foreign);
    ASSERT_EQ(lib.registerServer(), S_OK);
    ASSERT_NE(ReadBytes(machine.ClassesRoot()), foreign);
    EXPECT_EQ(lib.unregisterServer(), S_OK);
    EXPECT_EQ(ReadBytes(machine.ClassesRoot()), foreign)
        << "another version of the type library and another class stay, byte for byte";
    EXPECT_EQ(lib.unregisterServer(), S_OK) << "nothing left to remove is no failure";

    std::filesystem::remove(machine.ClassesRoot());
    ASSERT_EQ(lib.registerServer(), S_OK);
    EXPECT_EQ(lib.unregisterServer(), S_OK);
    for (const std::string& key :
         {"CLSID\\" + kClsid, std::string("RegWizard.RegEngine"), "TypeLib\\" + kLibId,
          "Interface\\" + kDual, "Interface\\" + kEvents})
        EXPECT_FALSE(KeyExists(key)) << key;
}

TEST_F(RegistrationTest, KeysOthersAddedBelowTheClassSurviveUnregistration)
{
    ASSERT_EQ(lib.registerServer(), S_OK);
    const std::string categories = "CLSID\\" + kClsid + "\\Implemented Categories";
    SetText(categories + "\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}", "");
    EXPECT_EQ(lib.unregisterServer(), S_OK);
    EXPECT_TRUE(KeyExists(categories));
    EXPECT_FALSE(KeyExists("CLSID\\" + kClsid + "\\InprocServer32"));
    EXPECT_FALSE(KeyExists("RegWizard.RegEngine"));
}

// A hive file that is a folder can be neither read nor written, whoever runs the test.
TEST_F(RegistrationTest, ARegistryThatCannotBeUsedFailsBothWays)
{
    TempDir broken;
    std::filesystem::create_directory(
        platform::posix::RegistryFiles(broken.path()).HiveFile(platform::Hive::ClassesRoot));
    ScopedEnv elsewhere("QUORVALE_REGISTRY", broken.path().string());
    EXPECT_EQ(lib.registerServer(), SELFREG_E_CLASS);
    EXPECT_EQ(lib.unregisterServer(), SELFREG_E_CLASS);
}

TEST_F(RegistrationTest, CreatingByProgIdFollowsTheRegistry)
{
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(regwizard::com::CoCreateFromRegistry("RegWizard.RegEngine", IID_IDispatch, &object),
              CO_E_CLASSSTRING);
    EXPECT_EQ(object, nullptr);

    ASSERT_EQ(lib.registerServer(), S_OK);
    ASSERT_EQ(regwizard::com::CoCreateFromRegistry("regwizard.regengine", IID_IDispatch, &object),
              S_OK);
    auto* dispatch = static_cast<IDispatch*>(object);
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"CancelRegistration")};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 1033, &id), S_OK);
    EXPECT_EQ(id, DISPID_RegEngine_CancelRegistration);
    EXPECT_EQ(dispatch->Release(), 0u);
    EXPECT_EQ(lib.canUnloadNow(), S_OK);

    const std::string server = "CLSID\\" + kClsid + "\\InprocServer32";
    const std::vector<std::pair<std::string, HRESULT>> libraries = {
        {"/nonexistent/libregwizard.so", CO_E_DLLNOTFOUND},
        {"libm.so.6", CO_E_ERRORINDLL},
    };
    for (const auto& [library, expected] : libraries) {
        SetText(server, library);
        EXPECT_EQ(
            regwizard::com::CoCreateFromRegistry("RegWizard.RegEngine", IID_IDispatch, &object),
            expected)
            << library;
    }
    ASSERT_EQ(registry.DeleteKey(platform::Hive::ClassesRoot, server), 0);
    EXPECT_EQ(regwizard::com::CoCreateFromRegistry("RegWizard.RegEngine", IID_IDispatch, &object),
              REGDB_E_CLASSNOTREG);
    SetText("RegWizard.RegEngine\\CLSID", "{not a class}");
    EXPECT_EQ(regwizard::com::CoCreateFromRegistry("RegWizard.RegEngine", IID_IDispatch, &object),
              CO_E_CLASSSTRING);
    EXPECT_EQ(regwizard::com::CoCreateFromRegistry(nullptr, IID_IDispatch, &object), E_INVALIDARG);
}

// ---- regwizard-regsvr -----------------------------------------------------------------------

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ProgramRun Regsvr(const std::string& arguments, const std::filesystem::path& registryFolder)
{
    TempDir output;
    const std::string command =
        "QUORVALE_REGISTRY='" + registryFolder.string() + "' '" + REGWIZARD_REGSVR + "' "
        + arguments + " >'" + (output / "out").string() + "' 2>'" + (output / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(output / "out"),
            ReadBytes(output / "err")};
}

TEST_F(RegistrationTest, RegsvrTellsWhatHappenedByItsExitCode)
{
    const std::string library = "'" + lib.path + "'";
    const ProgramRun registered = Regsvr(library, machine.Registry());
    EXPECT_EQ(registered.exitCode, 0) << registered.err;
    EXPECT_NE(registered.out.find("DllRegisterServer"), std::string::npos);
    EXPECT_EQ(Text("RegWizard.RegEngine\\CLSID"), kClsid);

    const ProgramRun unregistered = Regsvr("/u /s " + library, machine.Registry());
    EXPECT_EQ(unregistered.exitCode, 0) << unregistered.err;
    EXPECT_EQ(unregistered.out, "") << "silent";
    EXPECT_FALSE(KeyExists("RegWizard.RegEngine"));

    EXPECT_EQ(Regsvr("", machine.Registry()).exitCode, 1);
    EXPECT_EQ(Regsvr("/x " + library, machine.Registry()).exitCode, 1);
    const ProgramRun missing = Regsvr("/nonexistent/libx.so", machine.Registry());
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("cannot load"), std::string::npos) << missing.err;
    EXPECT_EQ(Regsvr("libm.so.6", machine.Registry()).exitCode, 4);
    const ProgramRun failed = Regsvr("/s " + library, machine.App() / "agree.txt" / "registry");
    EXPECT_EQ(failed.exitCode, 5);
    EXPECT_NE(failed.err.find("0x80040201"), std::string::npos) << failed.err;
}

} // namespace
} // namespace regwiz::test::com
