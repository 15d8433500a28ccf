#include "shell/AdobeExe.h"

#include "settings/Prefer.h"
#include "FakeProgram.h"
#include "MemoryRegistry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

using pl::Registry;

struct AdobeExe : ::testing::Test {
    QTemporaryDir dir;
    pl::fake::MemoryRegistry registry;
    QString viewer, quoteViewer;
    QString oldCwd = QDir::currentPath();
    void SetUp() override
    {
        LoadPreferDefaults(Prefer);
        pl::setRegistry(&registry);
        viewer = FakeProgram(dir.path(), "viewer").path();
        quoteViewer = FakeProgram(dir.path(), "vi\"ewer").path();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(oldCwd);
        pl::setRegistry(nullptr);
        LoadPreferDefaults(Prefer);
    }
};

} // namespace

TEST_F(AdobeExe, DefaultSettingsWithoutARegistryGiveNoProgram)
{
    EXPECT_FALSE(FindAdobeExe());
    EXPECT_EQ(Prefer.AdobeExe, "");
    EXPECT_FALSE(Prefer.AdobeOK);
}

TEST_F(AdobeExe, ProgramFromTheRegistryOrTheText)
{
    ScopedPath path(dir.filePath("bin"));
    struct Case {
        QString registryValue; // under the default AdobeReg; empty: none
        QString adobeReg;      // empty: the default
        QString exe;
        bool ok;
    };
    const Case cases[] = {
        // A quoted program with trailing arguments keeps the path.
        {'"' + viewer + "\" /A \"%1\"", "", viewer, true},
        {"", '"' + viewer + "\" -page 3", viewer, true},
        // A doubled quote stands for one.
        {"", "\"" + dir.filePath("bin/vi\"\"ewer") + "\" x", quoteViewer, true},
        // Without an opening quote: nothing.
        {"", viewer, "", false},
        {viewer, "", "", false},
        // A bare name is looked up on PATH and the path found is kept.
        {"", "\"viewer\"", viewer, true},
        {"", "\"no-such-viewer\"", "", false},
        // Any other relative name is never taken from the current folder.
        {"", "\"bin/viewer\"", "", false},
        {"", "\"./bin/viewer\"", "", false},
        // A missing file, and a folder, are not programs.
        {"", '"' + dir.filePath("missing") + '"', dir.filePath("missing"), false},
        {"", '"' + dir.filePath("bin") + '"', dir.filePath("bin"), false},
        // No closing quote: the rest of the text.
        {"", '"' + viewer, viewer, true},
    };
    for (const Case &c : cases) {
        pl::fake::MemoryRegistry fresh;
        pl::setRegistry(&fresh);
        if (!c.registryValue.isEmpty())
            fresh.setValue(Registry::ClassesRoot, "Software\\Adobe\\Acrobat\\Exe", "", c.registryValue);
        LoadPreferDefaults(Prefer);
        if (!c.adobeReg.isEmpty())
            Prefer.AdobeReg = c.adobeReg;
        EXPECT_EQ(FindAdobeExe(), c.ok) << (c.registryValue + c.adobeReg).toStdString();
        EXPECT_EQ(Prefer.AdobeExe, c.exe) << (c.registryValue + c.adobeReg).toStdString();
        EXPECT_EQ(Prefer.AdobeOK, c.ok) << (c.registryValue + c.adobeReg).toStdString();
    }
    pl::setRegistry(&registry);
}
