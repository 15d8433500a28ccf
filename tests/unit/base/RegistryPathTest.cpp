#include "base/RegistryPath.h"

#include "MemoryRegistry.h"

#include <gtest/gtest.h>

using pl::Registry;

TEST(RegistryPath, WalksKeysThenValueThenDefault)
{
    pl::fake::ScopedRegistry scoped;
    auto &reg = scoped.reg;
    reg.setValue(Registry::CurrentUser, "Software\\Orvale 11", "AppData", "/home/u/data");
    reg.setValue(Registry::ClassesRoot, "Software\\Adobe\\Acrobat", "Exe", "value of Acrobat");
    reg.setValue(Registry::LocalMachine, "Software\\Tool", "", "default of Tool");

    const struct {
        const char *path;
        const char *text;
    } cases[] = {
        {"%HKCU\\Software\\Orvale 11\\AppData", "/home/u/data"},
        {"HKEY_CURRENT_USER\\Software\\Orvale 11\\AppData", "/home/u/data"},
        {"%HKCR\\Software\\Adobe\\Acrobat\\Exe", "value of Acrobat"}, // no key Exe: the value
        {"%HKR\\Software\\Adobe\\Acrobat\\Exe", "value of Acrobat"},
        {"%HKLM\\Software\\Tool", "default of Tool"},  // the end after a subkey
        {"%HKM\\Software\\Tool\\", "default of Tool"}, // trailing "\"
        {"%HKLM\\Software\\Tool\\Missing", ""},
        {"%HKLM\\Software\\Tool\\Missing\\More", ""},
        {"%hkcu\\Software\\Orvale 11\\AppData", ""}, // root names are upper case
        {"%HKXX\\Software\\Orvale 11\\AppData", ""},
        {"%HKCU", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadRegistryPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.text)) << c.path;

    // Once the key Exe exists its default value wins over the value named Exe.
    reg.setValue(Registry::ClassesRoot, "Software\\Adobe\\Acrobat\\Exe", "", "\"/opt/reader\" \"%1\"");
    EXPECT_EQ(ReadRegistryPath("%HKCR\\Software\\Adobe\\Acrobat\\Exe"), "\"/opt/reader\" \"%1\"");
    // An existing key without a default value reads as empty.
    reg.addKey(Registry::Users, "S-1\\Empty");
    EXPECT_EQ(ReadRegistryPath("HKU\\S-1\\Empty"), "");
}

TEST(RegistryPath, ProductionBackendReadsNothing)
{
    pl::setRegistry(nullptr);
    for (const char *path : {"%HKCU\\Software\\Orvale 11\\AppData", "%HKCR\\Software\\Adobe\\Acrobat\\Exe",
                             "HKEY_LOCAL_MACHINE\\", "HKU\\.DEFAULT\\Environment\\Path"})
        EXPECT_EQ(ReadRegistryPath(QString::fromUtf8(path)), "") << path;
}
