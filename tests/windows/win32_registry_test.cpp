#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace regwiz::platform::win32 {
namespace {

// Every test works below a scratch key of its own, removed afterwards.
class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = "Software\\RegWizardTests\\" + std::to_string(GetCurrentProcessId()) + "-"
                + std::to_string(GetTickCount());
        ASSERT_EQ(registry_.CreateKey(Hive::CurrentUser, root_, key_), status::Success);
    }
    void TearDown() override
    {
        registry_.CloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str());
    }

    std::vector<std::uint8_t> Query(KeyHandle key, const std::string& name, std::uint32_t& type,
                                    long& rc)
    {
        std::vector<std::uint8_t> buffer(64);
        std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
        rc = registry_.QueryValue(key, name, type, buffer, size);
        buffer.resize(rc == status::Success ? size : 0);
        return buffer;
    }

    Win32Registry registry_;
    std::string root_;
    KeyHandle key_ = 0;
};

TEST_F(Win32RegistryTest, ValuesComeBackWithTheirTypeAndBytes)
{
    const std::vector<std::uint8_t> text = {'C', 'a', 'f', 0xE9, 0};
    const std::vector<std::uint8_t> binary = {0xFF, 0x00, 0xFF};
    const std::vector<std::uint8_t> dword = {0x2A, 0, 0, 0};
    ASSERT_EQ(registry_.SetValue(key_, "Text", regtype::Sz, text), status::Success);
    ASSERT_EQ(registry_.SetValue(key_, "Flag", regtype::Binary, binary), status::Success);
    ASSERT_EQ(registry_.SetValue(key_, "Count", regtype::Dword, dword), status::Success);

    // Read through a second handle, names in another case.
    KeyHandle reader = 0;
    ASSERT_EQ(registry_.OpenKey(Hive::CurrentUser, root_, KeyAccess::QueryValue, reader),
              status::Success);
    EXPECT_NE(reader, key_);
    std::uint32_t type = 0;
    long rc = 0;
    EXPECT_EQ(Query(reader, "TEXT", type, rc), text);
    EXPECT_EQ(type, regtype::Sz);
    EXPECT_EQ(Query(reader, "flag", type, rc), binary);
    EXPECT_EQ(type, regtype::Binary);
    EXPECT_EQ(Query(reader, "count", type, rc), dword);
    EXPECT_EQ(type, regtype::Dword);

    Query(reader, "Missing", type, rc);
    EXPECT_EQ(rc, status::FileNotFound);
    // A key opened for reading takes no values.
    EXPECT_EQ(registry_.SetValue(reader, "Text", regtype::Sz, text), status::AccessDenied);
    EXPECT_EQ(registry_.CloseKey(reader), status::Success);
    EXPECT_EQ(registry_.CloseKey(reader), status::InvalidHandle);
    Query(reader, "Text", type, rc);
    EXPECT_EQ(rc, status::InvalidHandle);
}

TEST_F(Win32RegistryTest, TooSmallBufferGivesMoreDataTheSizeAndLeavesItAlone)
{
    const std::vector<std::uint8_t> data(10, 0x41);
    ASSERT_EQ(registry_.SetValue(key_, "Ten", regtype::Binary, data), status::Success);
    std::vector<std::uint8_t> buffer(4, 0x7E);
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    EXPECT_EQ(registry_.QueryValue(key_, "Ten", type, buffer, size), status::MoreData);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(4, 0x7E));
    size = 0;
    EXPECT_EQ(registry_.QueryValue(key_, "Ten", type, {}, size), status::MoreData)
        << "an empty buffer is too small too";
    EXPECT_EQ(size, 10u);
}

TEST_F(Win32RegistryTest, OpensOnlyWhatExistsAndCreatesParents)
{
    KeyHandle key = 0;
    EXPECT_EQ(registry_.OpenKey(Hive::CurrentUser, root_ + "\\A", KeyAccess::QueryValue, key),
              status::FileNotFound);
    ASSERT_EQ(registry_.CreateKey(Hive::CurrentUser, root_ + "\\A\\B\\C", key), status::Success);
    registry_.CloseKey(key);
    EXPECT_EQ(registry_.OpenKey(Hive::CurrentUser, root_ + "\\a\\b",
                                KeyAccess::SetValueAndCreateSubKey, key),
              status::Success);
    registry_.CloseKey(key);
}

TEST_F(Win32RegistryTest, DeletesOnlyKeysWithoutSubkeys)
{
    KeyHandle key = 0;
    ASSERT_EQ(registry_.CreateKey(Hive::CurrentUser, root_ + "\\Outer\\Inner", key),
              status::Success);
    registry_.CloseKey(key);
    EXPECT_EQ(registry_.DeleteKey(Hive::CurrentUser, root_ + "\\Outer"), status::AccessDenied);
    EXPECT_EQ(registry_.DeleteKey(Hive::CurrentUser, root_ + "\\Outer\\Inner"), status::Success);
    EXPECT_EQ(registry_.DeleteKey(Hive::CurrentUser, root_ + "\\Outer"), status::Success);
    EXPECT_EQ(registry_.DeleteKey(Hive::CurrentUser, root_ + "\\Outer"), status::FileNotFound);
    EXPECT_EQ(registry_.DeleteKey(Hive::CurrentUser, ""), status::InvalidParameter);
}

} // namespace
} // namespace regwiz::platform::win32
