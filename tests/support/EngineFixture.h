#pragma once
// An engine bound to the real PDF library, with windows that record tabs, captions and
// password prompts, fresh settings and a diagnostic log the test can read.
#include "base/AppState.h"
#include "base/FileUtils.h"
#include "base/DebugLog.h"
#include "settings/Prefer.h"
#include "engine/QPDF.h"
#include "platform/Files.h"

#include "RecordingHost.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>

class DocumentHost : public RecordingHost {
public:
    QStringList tabs;
    QString caption;
    int selectedTab = -1;
    // Answers of the password dialog in turn; an empty entry is Cancel.
    QStringList passwords;
    bool rememberAnswer = false;
    int passwordPrompts = 0;
    std::function<void()> duringPrompt;

    void SetCaption(const QString &fileName) override { caption = fileName; }
    void AddTab(const QString &fileName) override { tabs << fileName; }
    void DeleteTab(int index) override
    {
        if (index >= 0 && index < tabs.size())
            tabs.removeAt(index);
    }
    void SelectTab(int index) override { selectedTab = index; }
    void RenameTab(int index, const QString &fileName) override
    {
        if (index >= 0 && index < tabs.size())
            tabs[index] = fileName;
    }
    bool AskPassword(const QString &, QString &password, bool &remember) override
    {
        ++passwordPrompts;
        if (duringPrompt)
            duringPrompt();
        if (passwords.isEmpty() || passwords.first().isEmpty()) {
            if (!passwords.isEmpty())
                passwords.removeFirst();
            return false;
        }
        password = passwords.takeFirst();
        remember = rememberAnswer;
        return true;
    }
};

// One second in file-time units.
constexpr int64_t kSecond = 10000000;

struct EngineFixture : ::testing::Test {
    QTemporaryDir dir;
    DocumentHost host;
    std::unique_ptr<TQPDF> engine;
    QString savedExeFolder = App.ExeFolder;
    QString savedDataFolder = App.DataFolder;
    QString logPath;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Prefer = TPrefer();
        Prefer.UseThreads = false;
        Prefer.RememberDoc = false;
        Prefer.PDFMemory = true;
        Prefer.SDInterface = false;
        App.ExeFolder = QStringLiteral(ORVALE_BIN_DIR);
        logPath = dir.filePath("engine.log");
        OpenDebugLog(logPath);
        engine = std::make_unique<TQPDF>(72);
        ASSERT_EQ(engine->Status(), 1);
        engine->SetHost(&host);
    }
    void TearDown() override
    {
        engine.reset();
        CloseDebugLog();
        App.ExeFolder = savedExeFolder;
        App.DataFolder = savedDataFolder;
    }

    // A copy of a fixture in the test's folder under the given name.
    QString copy(const QString &fixture, const QString &name)
    {
        const QString target = dir.filePath(name);
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(fixturePath(fixture), target)) << target.toStdString();
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    QString log() const
    {
        QFile f(logPath);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    const TDocument &current() { return engine->Document(engine->SelDoc()); }
    // Replaces the file's content, dated seconds later than before.
    void rewrite(const QString &path, const QByteArray &bytes, int seconds = 10)
    {
        const int64_t before = FileTime64(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        ASSERT_TRUE(pl::files().setTimes(path, before + seconds * kSecond, before));
    }
    static QByteArray fixture(const QString &name)
    {
        QFile f(fixturePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    int pageCount() { return engine->Pages().PageCount(); }
    int page()
    {
        int cp = engine->Layout().SelPage;
        double top = 0, left = 0;
        engine->Navigator().SavePosition(cp, top, left);
        return cp;
    }
};
