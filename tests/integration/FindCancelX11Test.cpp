// Long searches and copies under a real X server, cancelled by holding Escape: the server's
// key state is what the program polls, so the key is held through the server (xdotool) and
// released a while later. The document of 150 pages is written by the test. The test starts
// its own Xvfb on a free display, runs itself there and stops only that server.
#include "PdfWriter.h"
#include "X11TestRun.h"
#include "X11PageView.h"

#include "ui/ExInfo.h"
#include "ui/FindCommands.h"
#include "ui/FindForm.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTimer>

namespace {

TEST(FindCancelX11, RunsUnderItsOwnServer)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the run under the server";
    PrivateXvfb xvfb;
    if (!xvfb.start())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    RunOnServer(xvfb, QStringLiteral("FindCancelX11Run.*"), 2);
}

// What the information window showed while the work ran, and how the screen had it.
struct Sighting {
    QString text;
    bool progress = false;
    QColor screen; // the window's background as the server shows it
};

struct FindCancelX11Run : EngineFixture {
    std::unique_ptr<TMainForm> form;
    bool wasRunning = App.AppRunning;
    QList<Sighting> seen;
    QTimer watch;

    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "runs under the test's own X server";
        EngineFixture::SetUp();
        // 150 pages of text; every page holds the word searched for.
        PdfWriter writer;
        for (int i = 1; i <= 150; ++i)
            writer.addPage()
                .add(72, 760, QStringLiteral("Page %1 of the quarry report").arg(i))
                .add(72, 730, QStringLiteral("Granite and basalt from the quarry, stone by stone."));
        const QString pdf = dir.filePath("quarry.pdf");
        ASSERT_TRUE(writer.write(pdf));

        App.AppRunning = true;
        Prefer.Maximized = false;
        Prefer.WindowRect = {40, 40, 640, 840};
        Prefer.ShowToolbar = true;
        form = std::make_unique<TMainForm>(engine.get(), [] { return true; });
        form->show();
        form->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return form->windowHandle() && form->windowHandle()->isExposed(); }));
        ASSERT_TRUE(engine->LoadFile(pdf));
        ASSERT_EQ(engine->Pages().PageCount(), 150);
        form->EnableMenu();
        QApplication::processEvents();

        // The information window is looked at whenever the work lets events through.
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [this] {
            TExInfo *info = form->PageViewHost()->ExInfo();
            if (!info->isVisible() || (!seen.isEmpty() && seen.last().text == info->Info()))
                return;
            const QPoint corner = info->mapToGlobal(QPoint(2, 2));
            const QImage shot = form->screen()->grabWindow(0, corner.x(), corner.y(), 1, 1).toImage();
            seen << Sighting{info->Info(), info->Progress(), shot.pixelColor(0, 0)};
        });
    }
    void TearDown() override
    {
        if (!form)
            return;
        watch.stop();
        // The key must not stay down for the next test.
        QProcess::execute("xdotool", {"keyup", "Escape"});
        form.reset();
        App.AppRunning = wasRunning;
        EngineFixture::TearDown();
    }

    // Escape held now, released after ms by a process of its own while the program works.
    void holdEscape(int ms)
    {
        ASSERT_EQ(QProcess::execute("xdotool", {"keydown", "Escape"}), 0);
        ASSERT_TRUE(QProcess::startDetached(
            "sh", {"-c", QStringLiteral("sleep %1; xdotool keyup Escape").arg(ms / 1000.0, 0, 'f', 3)}));
        // The key's own event goes to the page view before the work starts.
        QApplication::processEvents();
    }
    QColor background() const { return TExInfo::WinColor(form->PageViewHost()->ExInfo()->BackgroundCol()); }
};

TEST_F(FindCancelX11Run, HoldingEscapeCancelsASearchAndLeavesNoList)
{
    form->edFindString->setText(QStringLiteral("quarry"));
    holdEscape(1500);
    watch.start();
    form->Command(QStringLiteral("menuFindNext"))->trigger();
    watch.stop();

    ASSERT_GE(seen.size(), 2) << "the information window was not seen";
    EXPECT_TRUE(seen.first().text.startsWith(QStringLiteral("Searching"))) << seen.first().text.toStdString();
    EXPECT_TRUE(seen.first().progress);
    EXPECT_EQ(seen.first().screen, background()) << "the window is on the screen";
    EXPECT_EQ(seen.last().text, QStringLiteral("Cancel ..."));
    EXPECT_EQ(seen.last().screen, background());
    EXPECT_LT(engine->MatchCount(), 0) << "a cancelled search leaves no list";
    EXPECT_TRUE(form->PageViewHost()->ExInfo()->HideTimer()->isActive());
}

TEST_F(FindCancelX11Run, ACopyCancelledWithEscapeLeavesTheClipboardAsItWas)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier text"));
    form->Command(QStringLiteral("menuSelAll"))->trigger();
    ASSERT_EQ(engine->SelectMode(), 3);
    holdEscape(1500);
    // The key's event cleared the selection in the page view: select again while it is held.
    form->Command(QStringLiteral("menuSelAll"))->trigger();
    watch.start();
    form->Command(QStringLiteral("menuCopy"))->trigger();
    watch.stop();

    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last().text, QStringLiteral("Cancel ..."));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("earlier text"));
}

} // namespace
