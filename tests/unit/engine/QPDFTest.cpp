#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "engine/QPDF.h"

#include "RecordingSink.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct QPDFFixture : ::testing::Test {
    RecordingSink sink;
    QString savedExeFolder = App.ExeFolder;

    void SetUp() override { SetMessageSink(&sink); }
    void TearDown() override
    {
        SetMessageSink(nullptr);
        App.ExeFolder = savedExeFolder;
    }

    static bool inProcess(const QString &path)
    {
        pl::DynLib probe;
        return probe.attach(path);
    }
};

} // namespace

TEST_F(QPDFFixture, ReadyWithTheLibraryBesideTheExecutableAndUnloadsItAtTheEnd)
{
    App.ExeFolder = QStringLiteral(ORVALE_BIN_DIR);
    {
        TQPDF engine(0);
        EXPECT_EQ(engine.Status(), 1);
        ASSERT_NE(engine.PDFium(), nullptr);
        EXPECT_TRUE(engine.PDFium()->CanRelease());
        EXPECT_EQ(engine.PixelsPerInch(), 1.0) << "the density is at least 1";
        EXPECT_TRUE(inProcess(binPath("libpdfium.so")));
    }
    EXPECT_TRUE(sink.shown.isEmpty());
    EXPECT_FALSE(inProcess(binPath("libpdfium.so")));
}

// Which file of the executable's folder is loaded: libpdfium.so, else libpdfium64.so;
// a folder of either name does not count.
TEST_F(QPDFFixture, TheSixtyFourNamedLibraryStandsInWhenTheFirstIsMissing)
{
    for (const bool folderInTheWay : {false, true}) {
        QTemporaryDir dir;
        App.ExeFolder = dir.path();
        if (folderInTheWay) {
            ASSERT_TRUE(QDir(dir.path()).mkdir("libpdfium.so"));
        }
        ASSERT_TRUE(QFile::copy(binPath("libpdfium.so"), dir.filePath("libpdfium64.so")));
        TQPDF engine(96);
        EXPECT_EQ(engine.Status(), 1) << folderInTheWay;
        EXPECT_TRUE(inProcess(dir.filePath("libpdfium64.so")));
    }
    EXPECT_TRUE(sink.shown.isEmpty());
}

TEST_F(QPDFFixture, NoLibraryFileIsReportedAndLeavesTheEngineUnready)
{
    for (const bool folderInTheWay : {false, true}) {
        QTemporaryDir dir;
        App.ExeFolder = dir.path();
        if (folderInTheWay) {
            ASSERT_TRUE(QDir(dir.path()).mkdir("libpdfium.so"));
            ASSERT_TRUE(QDir(dir.path()).mkdir("libpdfium64.so"));
        }
        sink.shown.clear();
        TQPDF engine(96);
        EXPECT_EQ(engine.Status(), 0);
        EXPECT_EQ(engine.PDFium(), nullptr);
        ASSERT_EQ(sink.shown.size(), 1);
        EXPECT_EQ(sink.shown[0].title, "PDFuium Library Error");
        EXPECT_EQ(sink.shown[0].text, "Library libpdfium.so does not exist.");
        EXPECT_EQ(sink.shown[0].type, mtError);
        EXPECT_EQ(sink.shown[0].buttons, MsgButtons({mbOK}));
    }
}

TEST_F(QPDFFixture, AnUnusableLibraryIsNamedWithItsFirstMissingFunction)
{
    struct Case {
        QString source;
        QString text; // after the quoted path
    };
    const Case cases[] = {
        {QStringLiteral(ORVALE_MISSING_EXPORT_LIBRARY), "\r\nFunction: FPDFText_IsGenerated"},
        {fixturePath("pdfium/garbage.pdf"), ""},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        App.ExeFolder = dir.path();
        ASSERT_TRUE(QFile::copy(c.source, dir.filePath("libpdfium.so")));
        sink.shown.clear();
        TQPDF engine(96);
        EXPECT_EQ(engine.Status(), 0);
        ASSERT_NE(engine.PDFium(), nullptr) << "the failed binding stays with the engine";
        ASSERT_EQ(sink.shown.size(), 1);
        EXPECT_EQ(sink.shown[0].title, "PDFuium Library Error");
        EXPECT_EQ(sink.shown[0].text, "Cannot load: \"" + dir.filePath("libpdfium.so") + "\"" + c.text);
    }
}
