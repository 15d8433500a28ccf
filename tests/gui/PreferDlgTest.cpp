// The Preferences over the real main window, settings store and data file, offscreen.
#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "settings/ToolbarDefinition.h"
#include "ui/PreferDlg.h"
#include "ui/style/Themes.h"

#include "FakeProgram.h"
#include "MainFormFixture.h"
#include "RecordingSink.h"
#include "RecordingSystemLook.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

struct PreferDlgTest : MainFormFixture {
    pl::fake::ScopedSystemLook look;
    RecordingSink sink;
    QString savedDataFile = App.DataFile;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        look.look.palette = QApplication::palette();
        RememberSystemLook();
        LoadColorDefaults();
        MenuColors = DefaultMenuColors();
        ToolbarDefinition.LoadDefault();
        App.DataFolder = dir.filePath("data folder");
        App.DataFile = App.DataFolder + "/OrvalePDF.dat";
        createForm();
    }
    void TearDown() override
    {
        App.DataFile = savedDataFile;
        MainFormFixture::TearDown();
        ApplyThemeMode(0, true);
    }
    QByteArray fileBytes() const
    {
        QFile f(App.DataFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    template <typename W>
    static W *child(TPreferDlg &dlg, const char *name)
    {
        W *w = dlg.findChild<W *>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static void click(TPreferDlg &dlg, const char *name) { child<QPushButton>(dlg, name)->click(); }
};

// One control: how the test changes it and what the settings then hold.
struct TControlCase {
    const char *name;
    std::function<void(QWidget *)> change;
    std::function<bool()> stored;
};

void Flip(QWidget *w) { static_cast<QAbstractButton *>(w)->click(); }
std::function<void(QWidget *)> Text(const char *text)
{
    return [text](QWidget *w) {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setText(QString::fromUtf8(text));
        else if (auto *c = qobject_cast<QComboBox *>(w))
            c->setCurrentText(QString::fromUtf8(text));
    };
}

TEST_F(PreferDlgTest, EveryControlIsStoredWrittenAndShownAgain)
{
    const TPrefer before = Prefer;
    const TControlCase cases[] = {
        {"edMaxListLen", Text("33"), [] { return Prefer.MaxListLen == 33; }},
        {"rbRestoreAlways", Flip, [] { return Prefer.RestoreOpened == TRestoreOpened::Always; }},
        {"cbRememberDoc", Flip, [&] { return Prefer.RememberDoc != before.RememberDoc; }},
        {"cbAutoHideTabs", Flip, [&] { return Prefer.AutoHideTabs != before.AutoHideTabs; }},
        {"cbTabFiletypes", Flip, [&] { return Prefer.TabFiletypes != before.TabFiletypes; }},
        {"edMaxTabString", Text("24"), [] { return Prefer.MaxTabString == "24"; }},
        {"cbContinuous", Flip, [&] { return Prefer.AllowScrolling != before.AllowScrolling; }},
        {"cbFrameLinks", Flip, [&] { return Prefer.FrameLinks != before.FrameLinks; }},
        {"cbRenderAnnot", Flip, [&] { return Prefer.RenderAnnot != before.RenderAnnot; }},
        {"cbShowBookmarks", Flip, [&] { return Prefer.ShowBookmarks != before.ShowBookmarks; }},
        {"cbTrackBookmarks", Flip, [&] { return Prefer.TrackBookmarks != before.TrackBookmarks; }},
        {"rbBookView", Flip, [] { return Prefer.PageView == TPageViewMode::Book; }},
        {"rbCustomZoom", Flip, [] { return Prefer.ZoomMode == 3; }},
        {"edZoom", Text(" 250 % "), [] { return Prefer.Zoom == 250; }},
        {"edZoomMenu", Text("50, 100, 400"), [] { return Prefer.ZoomMenuValues == "50, 100, 400"; }},
        {"cbZoomAuto", Flip, [&] { return Prefer.ZoomAuto != before.ZoomAuto; }},
        {"rbLightControls", Flip, [] { return Prefer.ColThemes[0].ThemeModeIndex == 2 && Prefer.ThemeModeIndex == 2; }},
        {"rbInvertRGB", Flip, [] { return Prefer.ColThemes[0].RenderModeIndex == 2; }},
        {"cbColorRange", Flip, [&] { return Prefer.ColThemes[0].blendEnabled != before.ColThemes[0].blendEnabled; }},
        {"cbRenderGray", Flip, [&] { return Prefer.ColThemes[0].RenderGray != before.ColThemes[0].RenderGray; }},
        {"cbShowThemesMenu", Flip, [&] { return Prefer.ShowThemesMenu != before.ShowThemesMenu; }},
        {"edFontMainSize", Text("12"), [] { return Prefer.FontSize == 12; }},
        {"edFontMainEx", Text("5"), [] { return Prefer.FontSizeTenths == 5; }},
        {"cbCustomMenuDraw", Flip, [&] { return Prefer.CustomMenuDraw != before.CustomMenuDraw; }},
        {"edLargeIcons", Text("30"), [] { return Prefer.LargeIcons == 30; }},
        {"edSmallIcons", Text("20"), [] { return Prefer.SmallIcons == 20; }},
        {"edToolbarHeight", Text("40"), [] { return Prefer.ToolbarHeight == 40; }},
        {"edTabsHeight", Text("22"), [] { return Prefer.TabsHeight == 22; }},
        {"edStatusHeight", Text("21"), [] { return Prefer.StatusHeight == 21; }},
        {"edPageGap", Text("7"), [] { return Prefer.PageGap == 7; }},
        {"edAdobeReg", Text("Some\\Key"), [] { return Prefer.AdobeReg == "Some\\Key"; }},
        {"edAdobeCmd", Text("/A page=%p \"%f\""), [] { return Prefer.AdobeCmd == "/A page=%p \"%f\""; }},
        {"edAdobeMenu", Text("Open &Elsewhere"), [] { return Prefer.AdobeMenu == "Open &Elsewhere"; }},
        {"edAdobeShortcut", Text("Ctrl+E"), [] { return Prefer.AdobeShortcut == "Ctrl+E"; }},
        {"cbAdobeInToolbar", Flip, [&] { return Prefer.AdobeInToolbar != before.AdobeInToolbar; }},
        {"cbAdobeInMenu", Flip, [&] { return Prefer.AdobeInMenu != before.AdobeInMenu; }},
        {"edNewInstanceCmd", Text("-x"), [] { return Prefer.NewInstanceCmd == "-x"; }},
        {"edInverseSearch", Text("editor +%l %f"), [] { return Prefer.InverseSearchCmd == "editor +%l %f"; }},
        {"cbUseThreads", Flip, [&] { return Prefer.UseThreads != before.UseThreads; }},
        {"cbAllowPanning", Flip, [&] { return Prefer.AllowPanning != before.AllowPanning; }},
        {"cbDblClickClose", Flip, [&] { return Prefer.DblClickClose != before.DblClickClose; }},
        {"cbPDFMemory", Flip, [&] { return Prefer.PDFMemory != before.PDFMemory; }},
        {"cbUseTimer", Flip, [&] { return Prefer.UseTimer != before.UseTimer; }},
        {"cbPersistentFS", Flip, [&] { return Prefer.PersistentFS != before.PersistentFS; }},
    };
    {
        TPreferDlg dlg(*form);
        for (const TControlCase &c : cases) {
            QWidget *w = dlg.findChild<QWidget *>(QLatin1String(c.name));
            ASSERT_TRUE(w) << c.name;
            c.change(w);
        }
        dlg.show();
        click(dlg, "btnOK");
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    for (const TControlCase &c : cases)
        EXPECT_TRUE(c.stored()) << c.name << " after OK";
    EXPECT_TRUE(sink.shown.isEmpty()) << sink.texts().join("\n").toStdString();
    // The data file holds them.
    Prefer = TPrefer();
    ASSERT_TRUE(ReadData());
    for (const TControlCase &c : cases)
        EXPECT_TRUE(c.stored()) << c.name << " read back";
    // A new dialog shows them: storing it again changes nothing.
    const TPrefer read = Prefer;
    TPreferDlg again(*form);
    again.StoreAll();
    EXPECT_EQ(Prefer.MaxListLen, read.MaxListLen);
    EXPECT_EQ(Prefer.Zoom, read.Zoom);
    EXPECT_EQ(Prefer.ColThemes, read.ColThemes);
    EXPECT_EQ(Prefer.AdobeCmd, read.AdobeCmd);
    EXPECT_EQ(Prefer.FontSize, read.FontSize);
    EXPECT_EQ(child<QLineEdit>(again, "edZoom")->text(), "250%");
}

TEST_F(PreferDlgTest, TheMenuOpensItAndOKRebuildsTheMenus)
{
    form->show();
    QAction *command = form->Command(QStringLiteral("menuPreferences"));
    ASSERT_TRUE(command);
    bool seen = false;
    std::function<void()> poll = [&] {
        auto *dlg = qobject_cast<TPreferDlg *>(QApplication::activeModalWidget());
        if (!dlg) {
            QTimer::singleShot(5, poll);
            return;
        }
        seen = true;
        click(*dlg, "btnOK");
    };
    QTimer::singleShot(0, poll);
    command->trigger();
    for (int i = 0; i < 200 && !seen; ++i)
        QTest::qWait(10);
    QApplication::processEvents();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(QFile::exists(App.DataFile));
}

TEST_F(PreferDlgTest, CancelStoresNothingApplyStays)
{
    ASSERT_TRUE(WriteData());
    const QByteArray bytes = fileBytes();
    {
        TPreferDlg dlg(*form);
        child<QLineEdit>(dlg, "edPageGap")->setText("9");
        dlg.show();
        click(dlg, "btnCancel");
    }
    EXPECT_EQ(fileBytes(), bytes);
    EXPECT_NE(Prefer.PageGap, 9);
    {
        TPreferDlg dlg(*form);
        child<QLineEdit>(dlg, "edPageGap")->setText("9");
        dlg.show();
        click(dlg, "btnApply");
        child<QLineEdit>(dlg, "edPageGap")->setText("11");
        click(dlg, "btnCancel");
    }
    EXPECT_EQ(Prefer.PageGap, 9);
    Prefer.PageGap = 0;
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.PageGap, 9);
}

TEST_F(PreferDlgTest, ApplyRefreshesTheFontSample)
{
    CurrentPPI = 96;
    Prefer.FontName = "DejaVu Sans";
    Prefer.FontSize = 9;
    Prefer.FontSizeTenths = 0;
    TPreferDlg dlg(*form);
    dlg.show();
    QLabel *sample = child<QLabel>(dlg, "lbFontSample");
    EXPECT_EQ(sample->font().family(), "DejaVu Sans");
    EXPECT_EQ(sample->font().pixelSize(), 12);
    child<QComboBox>(dlg, "edFontMain")->setCurrentText("DejaVu Serif");
    child<QComboBox>(dlg, "edFontMainSize")->setCurrentText("16");
    child<QComboBox>(dlg, "edFontMainEx")->setCurrentText("5");
    // The fields alone leave the sample as it was.
    EXPECT_EQ(sample->font().pixelSize(), 12);
    click(dlg, "btnApply");
    EXPECT_EQ(sample->font().family(), "DejaVu Serif");
    EXPECT_EQ(sample->font().pixelSize(), 22); // 16.5 points at 96 ppi
    EXPECT_EQ(form->font().pixelSize(), 22);
    // A size out of range shows the size in force.
    child<QComboBox>(dlg, "edFontMainSize")->setCurrentText("40");
    click(dlg, "btnApply");
    EXPECT_EQ(sample->font().pixelSize(), 22);
}

TEST_F(PreferDlgTest, OutOfRangeKeepsTheOldValueFocusedAndStoresTheRest)
{
    Prefer.Zoom = 125;
    const bool autoZoom = Prefer.ZoomAuto;
    TPreferDlg dlg(*form);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QLineEdit *zoom = child<QLineEdit>(dlg, "edZoom");
    zoom->setText("5000%");
    child<QCheckBox>(dlg, "cbZoomAuto")->click();
    child<QLineEdit>(dlg, "edSmallIcons")->setText("100");
    dlg.StoreAll();
    EXPECT_EQ(Prefer.Zoom, 125);
    EXPECT_EQ(Prefer.ZoomAuto, !autoZoom);
    EXPECT_EQ(child<QLineEdit>(dlg, "edSmallIcons")->text(), QString::number(Prefer.SmallIcons));
    // The last refused field holds the focus; every refused one shows its old value.
    EXPECT_EQ(zoom->text(), "125%");
    EXPECT_TRUE(child<QLineEdit>(dlg, "edSmallIcons")->hasFocus());
    EXPECT_EQ(child<QLineEdit>(dlg, "edSmallIcons")->selectedText(), QString::number(Prefer.SmallIcons));
}

TEST_F(PreferDlgTest, ShorterRecentListKeepsTheFirstEntries)
{
    Prefer.MaxListLen = 200;
    Prefer.DocList.clear();
    for (int i = 0; i <= 200; ++i) {
        TDocInfo d;
        d.FileName = QStringLiteral("/doc/%1.pdf").arg(i);
        Prefer.DocList << d;
    }
    Prefer.DocListCount = 200;
    TPreferDlg dlg(*form);
    child<QLineEdit>(dlg, "edMaxListLen")->setText("150");
    dlg.StoreAll();
    EXPECT_EQ(Prefer.MaxListLen, 150);
    EXPECT_EQ(Prefer.DocListCount, 150);
    ASSERT_EQ(Prefer.DocList.size(), 151);
    EXPECT_EQ(Prefer.DocList[0].FileName, "/doc/0.pdf");
    EXPECT_EQ(Prefer.DocList[149].FileName, "/doc/149.pdf");
}

TEST_F(PreferDlgTest, SelectorKeepsBothEntriesEdits)
{
    Prefer.ColThemes = {TColTheme{0, 0, false, false}, TColTheme{1, 1, false, false}};
    Prefer.ThemeSelector = 0;
    TPreferDlg dlg(*form);
    QComboBox *selector = child<QComboBox>(dlg, "cbTheme");
    child<QRadioButton>(dlg, "rbLightControls")->click();
    child<QCheckBox>(dlg, "cbRenderGray")->click();
    selector->setCurrentIndex(1);
    EXPECT_TRUE(child<QRadioButton>(dlg, "rbDarkControls")->isChecked());
    child<QRadioButton>(dlg, "rbInvertRGB")->click();
    selector->setCurrentIndex(0);
    EXPECT_TRUE(child<QRadioButton>(dlg, "rbLightControls")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dlg, "cbRenderGray")->isChecked());
    selector->setCurrentIndex(1);
    EXPECT_TRUE(child<QRadioButton>(dlg, "rbInvertRGB")->isChecked());
    dlg.StoreAll();
    EXPECT_EQ(Prefer.ColThemes[0], (TColTheme{2, 0, true, false}));
    EXPECT_EQ(Prefer.ColThemes[1], (TColTheme{1, 2, false, false}));
    EXPECT_EQ(Prefer.ThemeSelector, 1);
    EXPECT_EQ(Prefer.ThemeModeIndex, 1);
    EXPECT_EQ(Prefer.RenderModeIndex, 2);
}

TEST_F(PreferDlgTest, CloseIconBoxKeepsALargerValue)
{
    Prefer.CustomTabs = 2;
    {
        TPreferDlg dlg(*form);
        EXPECT_TRUE(child<QCheckBox>(dlg, "cbCustomTabs")->isChecked());
        dlg.StoreAll();
        EXPECT_EQ(Prefer.CustomTabs, 2);
        child<QCheckBox>(dlg, "cbCustomTabs")->click();
        dlg.StoreAll();
        EXPECT_EQ(Prefer.CustomTabs, 0);
        child<QCheckBox>(dlg, "cbCustomTabs")->click();
        dlg.StoreAll();
        EXPECT_EQ(Prefer.CustomTabs, 1);
    }
}

TEST_F(PreferDlgTest, ToolbarTextRecompilesTheCheckBoxAloneRefilters)
{
    TPreferDlg dlg(*form);
    const QStringList lines = ToolbarDefinition.lines;
    child<QCheckBox>(dlg, "cbSearchToolbar")->click();
    dlg.StoreAll();
    EXPECT_EQ(ToolbarDefinition.SearchToolbar, child<QCheckBox>(dlg, "cbSearchToolbar")->isChecked());
    EXPECT_EQ(ToolbarDefinition.lines, lines);
    QPlainTextEdit *memo = child<QPlainTextEdit>(dlg, "MemoToolbar");
    memo->setPlainText(memo->toPlainText() + "\n// mine\n");
    dlg.StoreAll();
    EXPECT_EQ(ToolbarDefinition.lines.last(), "// mine");
    click(dlg, "btnToolbarDefault");
    EXPECT_EQ(memo->toPlainText().trimmed(),
              QString(TToolbarDefinition::DefaultText()).replace("\r\n", "\n").trimmed());
}

TEST_F(PreferDlgTest, RestoreDefaultSettingsKeepsTheRecentList)
{
    Prefer.MaxListLen = 12;
    Prefer.DocList = QList<TDocInfo>(13);
    Prefer.DocList[0].FileName = "/doc/kept.pdf";
    Prefer.DocListCount = 1;
    Prefer.PageGap = 33;
    TPreferDlg dlg(*form);
    click(dlg, "btnRestoreDefaults");
    EXPECT_EQ(Prefer.PageGap, TPrefer().PageGap);
    EXPECT_EQ(Prefer.MaxListLen, 12);
    EXPECT_EQ(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, "/doc/kept.pdf");
    EXPECT_EQ(child<QLineEdit>(dlg, "edPageGap")->text(), QString::number(TPrefer().PageGap));
}

TEST_F(PreferDlgTest, UnwritableDataFileIsReported)
{
    // Root may write anywhere: the folder is a file instead.
    QFile blocker(App.DataFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TPreferDlg dlg(*form);
    dlg.StoreAll();
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, "Configuration Error");
    EXPECT_TRUE(sink.shown[0].text.contains(App.DataFile));
}

TEST_F(PreferDlgTest, ColorsEditedExportedAndImported)
{
    TPreferDlg dlg(*form);
    child<QLineEdit>(dlg, "edRGBBlack")->setText("#102030");
    click(dlg, "btnEditColors");
    QPlainTextEdit *memo = child<QPlainTextEdit>(dlg, "MemoColors");
    EXPECT_TRUE(memo->toPlainText().contains("#102030 lcr_ColorRangeB"));
    memo->setPlainText(memo->toPlainText().replace("#102030 lcr_ColorRangeB", "#405060 lcr_ColorRangeB")
                       + "#zz lcr_OriginB\r\n");
    EXPECT_FALSE(dlg.ImportColorsText());
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_TRUE(sink.shown[0].text.contains("#zz lcr_OriginB"));
    dlg.StoreAll();
    EXPECT_EQ(Colors.PdfLight[cc_ColorRange].B, RgbColor(0x405060));
}

TEST_F(PreferDlgTest, ColourDialogOffersTheBasicColours)
{
    TPreferDlg dlg(*form);
    QTimer::singleShot(0, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            static_cast<QDialog *>(w)->reject();
    });
    dlg.PickColor(false);
    const auto basic = BasicColors();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(QColorDialog::customColor(i), basic[size_t(i)]) << i;
    EXPECT_EQ(basic[9], QColor(Qt::red));
}

TEST_F(PreferDlgTest, MonitorLineOffscreen)
{
    TPreferDlg dlg(*form);
    CurrentPPI = 96;
    EXPECT_EQ(MonitorLine(QGuiApplication::primaryScreen(), 96), "Monitor: 800 x 800  @  100 / 96 dpi  (100%)");
}

TEST_F(PreferDlgTest, BrowseLocalFolderHandsTheFolderOver)
{
    const QString tools = dir.filePath("tools");
    const FakeProgram opener(tools, "xdg-open");
    ScopedPath path(tools + "/bin");
    TPreferDlg dlg(*form);
    QDir().mkpath(App.DataFolder);
    click(dlg, "btnBrowseFolder");
    EXPECT_EQ(opener.argumentList(), QStringList({App.DataFolder}));
    opener.forget();
    QDir(App.DataFolder).removeRecursively();
    click(dlg, "btnBrowseFolder");
    EXPECT_EQ(opener.argumentList(), QStringList({QDir::homePath()}));
}

TEST_F(PreferDlgTest, BrowseFailureShowsShellError)
{
    ScopedPath path(dir.filePath("nothing here"));
    TPreferDlg dlg(*form);
    click(dlg, "btnBrowseFolder");
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, "Shell Error");
    EXPECT_TRUE(sink.shown[0].text.startsWith("Error Launching File Manager: "));
}

} // namespace
