// The image lists: sizes per density, loading the program's and the user's folders, the
// dark system's variants, scaling, the disabled grey, bad files and the pan cursor. Every
// case builds its folders in a temporary directory; the last ones check the images the
// build draws.
#include "app/ImageNames.h"
#include "base/AppState.h"
#include "base/DebugLog.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/ImageRes.h"
#include "ui/MainCommands.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct SizeCase {
    int n, ppi, size;
};

class ListSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ListSize, ScalesAndSnaps)
{
    EXPECT_EQ(ImageListSize(GetParam().n, GetParam().ppi), GetParam().size) << GetParam().n << " " << GetParam().ppi;
}

INSTANTIATE_TEST_SUITE_P(Table, ListSize,
                         ::testing::Values(SizeCase{16, 96, 16}, SizeCase{16, 120, 20}, SizeCase{16, 144, 24},
                                           SizeCase{16, 192, 32}, SizeCase{17, 96, 16}, SizeCase{37, 96, 36},
                                           SizeCase{39, 96, 40}, SizeCase{38, 96, 38}, SizeCase{4, 96, 8},
                                           SizeCase{46, 96, 48}, SizeCase{29, 96, 28}));

// A system palette light or dark, remembered as the system's as the program does at start.
void SetSystemDark(bool dark)
{
    QPalette p = QGuiApplication::palette();
    p.setColor(QPalette::Button, dark ? QColor(0x30, 0x30, 0x30) : QColor(0xEF, 0xEF, 0xEF));
    p.setColor(QPalette::Window, dark ? QColor(0x20, 0x20, 0x20) : QColor(0xEF, 0xEF, 0xEF));
    RememberSystemPalette(p);
}

struct ImageFolders : ::testing::Test {
    QTemporaryDir dir;
    QString savedExe = App.ExeFolder, savedData = App.DataFolder;
    int savedPPI = CurrentPPI;
    TPrefer savedPrefer = Prefer;
    QString logPath;

    void SetUp() override
    {
        App.ExeFolder = dir.filePath("exe");
        App.DataFolder = dir.filePath("data");
        CurrentPPI = 96;
        Prefer.LargeIcons = Prefer.SmallIcons = 16;
        SetSystemDark(false);
        logPath = dir.filePath("log.txt");
        OpenDebugLog(logPath);
    }
    void TearDown() override
    {
        CloseDebugLog();
        FreeImageLists();
        App.ExeFolder = savedExe;
        App.DataFolder = savedData;
        CurrentPPI = savedPPI;
        Prefer = savedPrefer;
        SetSystemDark(false);
    }
    QString Source(const QString &sub = QString()) const
    {
        return App.ExeFolder + QStringLiteral("/Resources/PNGImages") + sub;
    }
    QString Local(const QString &sub = QString()) const
    {
        return App.DataFolder + QStringLiteral("/Resources/PNGImages") + sub;
    }
    static void Png(const QString &folder, const QString &name, QColor colour, QSize size = {16, 16})
    {
        QDir().mkpath(folder);
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(folder + QLatin1Char('/') + name, "PNG"));
    }
    QString Log()
    {
        CloseDebugLog();
        QFile f(logPath);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(f.readAll());
        OpenDebugLog(logPath);
        return text;
    }
    static QRgb Centre(const TPNGImageList &list, int index)
    {
        return list.Image(index).pixel(list.Size() / 2, list.Size() / 2);
    }
};

TEST_F(ImageFolders, OneListServesBothSizesWhenTheyAreEqual)
{
    Png(Source(), "A.png", Qt::red);
    ASSERT_TRUE(LoadImageLists());
    EXPECT_EQ(&ImageListOf(0), &ImageListOf(1));
    EXPECT_EQ(&ImageListOf(-3), &ImageListOf(7));
    Prefer.SmallIcons = 24;
    ASSERT_TRUE(LoadImageLists());
    EXPECT_NE(&ImageListOf(0), &ImageListOf(1));
    EXPECT_EQ(ImageListOf(0).Size(), 16);
    EXPECT_EQ(ImageListOf(1).Size(), 24);
    EXPECT_EQ(&ImageListOf(9), &ImageListOf(1));
    EXPECT_EQ(ImageListOf(1).ImageFiles, ImageListOf(0).ImageFiles);
    FreeImageLists();
    EXPECT_FALSE(ImageListsLoaded());
    EXPECT_EQ(ImageListOf(0).Size(), 16);
    EXPECT_EQ(ImageListOf(0).Count(), 0);
}

TEST_F(ImageFolders, TheUserReplacesPicturesInPlaceAndAddsNewOnes)
{
    Png(Source(), "Open.png", Qt::red);
    Png(Source(), "Save.png", Qt::green);
    Png(Local(), "Save.png", Qt::blue);
    Png(Local(), "Mine.png", Qt::yellow);
    ASSERT_TRUE(LoadImageLists());
    const TPNGImageList &list = ImageListOf(0);
    EXPECT_EQ(list.ImageFiles, (QStringList{"Open", "Save", "Mine"}));
    EXPECT_EQ(Centre(list, list.GetImageIndex("Save")), QColor(Qt::blue).rgba());
    EXPECT_EQ(Centre(list, 0), QColor(Qt::red).rgba());
    const QString log = Log();
    EXPECT_TRUE(log.contains(QStringLiteral("Loading Image Resources: 16x16"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Source Images Directory  \"") + Source() + QStringLiteral("\" Count: 2")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Local Images Directory  \"") + Local() + QStringLiteral("\" Count: 2")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Loading Image Resources Done.")));
}

TEST_F(ImageFolders, WithoutTheProgramsFolderOnlyTheUsersImagesLoad)
{
    Png(Local(), "Mine.png", Qt::yellow);
    EXPECT_FALSE(LoadImageLists());
    EXPECT_EQ(ImageListOf(0).ImageFiles, QStringList{"Mine"});
    EXPECT_EQ(ImageListOf(0).GetImageIndex("Open"), -1);
    EXPECT_EQ(ImageListOf(0).GetImageIndex(""), -1);
    EXPECT_TRUE(
        Log().contains(QStringLiteral("Image Directory does not exists: \"") + Source() + QStringLiteral("\".")));
}

TEST_F(ImageFolders, DarkVariantsOnlyWhileTheSystemIsDark)
{
    Png(Source(), "Both.png", Qt::red);
    Png(Source(), "Main.png", Qt::red);
    Png(Source("/HC"), "Both.png", Qt::white);
    Png(Source("/HC"), "OnlyDark.png", Qt::white);
    Png(Local("/HC"), "Both.png", Qt::cyan);
    ASSERT_TRUE(LoadImageLists());
    const TPNGImageList &list = ImageListOf(0);
    EXPECT_EQ(list.ImageFiles, (QStringList{"Both", "Main", "|Both", "|OnlyDark"}));
    EXPECT_EQ(list.GetImageIndex("OnlyDark"), -1);
    EXPECT_EQ(list.GetImageIndex("Both"), 0);
    EXPECT_EQ(list.GetImageIndex("Main"), 1);
    SetSystemDark(true);
    EXPECT_EQ(list.GetImageIndex("OnlyDark"), 3);
    EXPECT_EQ(list.GetImageIndex("Both"), 2);
    EXPECT_EQ(list.GetImageIndex("Both", false), 0);
    EXPECT_EQ(list.GetImageIndex("Main"), 1);
    EXPECT_EQ(Centre(list, 2), QColor(Qt::cyan).rgba());
    EXPECT_EQ(list.GetAltImageIndex(2, true), 2);
}

TEST_F(ImageFolders, IndexesDoNotDependOnTheOrderFilesWereMade)
{
    const QStringList names{"b.png", "A.png", "a.png", "C.PNG", "c.Png", "B.png"};
    QStringList orders[2];
    for (int run = 0; run < 2; ++run) {
        QDir(Source()).removeRecursively();
        for (int i = 0; i < names.size(); ++i)
            Png(Source(), names[run == 0 ? i : names.size() - 1 - i], Qt::red);
        ASSERT_TRUE(LoadImageLists());
        orders[run] = ImageListOf(0).ImageFiles;
    }
    EXPECT_EQ(orders[0], (QStringList{"A", "a", "B", "b", "C", "c"}));
    EXPECT_EQ(orders[1], orders[0]);
}

TEST_F(ImageFolders, BadFilesAreSkippedAndNamed)
{
    Png(Source(), "Good.png", Qt::red);
    Png(Source(), "Huge.png", Qt::red, {2000, 4});
    QFile damaged(Source("/Damaged.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n\x1a\nnot really");
    damaged.close();
    ASSERT_EQ(mkfifo(Source("/Pipe.png").toLocal8Bit().constData(), 0600), 0);
    QDir().mkpath(Source("/Folder.png"));
    Png(Source(), "Other.txt", Qt::red);
    ASSERT_TRUE(LoadImageLists());
    EXPECT_EQ(ImageListOf(0).ImageFiles, QStringList{"Good"});
    const QString log = Log();
    EXPECT_TRUE(log.contains(QStringLiteral("Damaged image skipped: ") + Source("/Damaged.png"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Image larger than 1024x1024 skipped: ") + Source("/Huge.png")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Image skipped, not a regular file: ") + Source("/Pipe.png")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("\" Count: 3"))) << log.toStdString();
}

TEST_F(ImageFolders, PicturesAreScaledToTheListsSize)
{
    CurrentPPI = 144;
    Png(Source(), "Small.png", QColor(255, 0, 0, 128), {12, 12});
    Png(Source(), "Large.png", QColor(0, 0, 255, 128), {20, 20});
    ASSERT_TRUE(LoadImageLists());
    const TPNGImageList &list = ImageListOf(0);
    ASSERT_EQ(list.Size(), 24);
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Image(i).size(), QSize(24, 24));
        // Colour and alpha are scaled apart: a half-clear colour keeps its colour.
        EXPECT_EQ(list.Image(i).pixel(0, 0), list.Image(i).pixel(12, 12));
        EXPECT_EQ(qAlpha(list.Image(i).pixel(5, 5)), 128);
    }
    EXPECT_EQ(qRed(list.Image(list.GetImageIndex("Small")).pixel(3, 3)), 255);
}

TEST(ImageScaling, SmallerPicturesAreFirstEnlargedPlainly)
{
    EXPECT_EQ(EnlargeStep({12, 12}, 16), QSize(24, 24)); // k = 1
    EXPECT_EQ(EnlargeStep({5, 5}, 16), QSize(20, 20));   // k = 3
    EXPECT_EQ(EnlargeStep({20, 20}, 16), std::nullopt);
    EXPECT_EQ(EnlargeStep({16, 16}, 16), std::nullopt);
    EXPECT_EQ(EnlargeStep({0, 16}, 16), std::nullopt);
    QImage empty;
    EXPECT_EQ(ResizeImage(empty, 16).size(), QSize(16, 16));
    QImage twelve(12, 12, QImage::Format_ARGB32);
    twelve.fill(Qt::green);
    EXPECT_EQ(ResizeImage(twelve, 16).size(), QSize(16, 16));
    QImage twenty(20, 20, QImage::Format_RGB32); // no alpha: fully opaque
    twenty.fill(Qt::green);
    EXPECT_EQ(ResizeImage(twenty, 16).pixel(8, 8), QColor(Qt::green).rgba());
}

struct GreyCase {
    bool dark;
    QRgb in;
    QRgb out;
};

class DisabledGrey : public ::testing::TestWithParam<GreyCase> {};

TEST_P(DisabledGrey, OfChosenPixels)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, GetParam().in);
    // The menu colour of a light system: #EFEFEF, luma 239.
    const QRgb out = GreyedImage(image, GetParam().dark, 239).pixel(0, 0);
    EXPECT_EQ(QColor::fromRgba(out).name(QColor::HexArgb), QColor::fromRgba(GetParam().out).name(QColor::HexArgb));
}

INSTANTIATE_TEST_SUITE_P(Table, DisabledGrey,
                         ::testing::Values(
                             // Light: white to (250 -> 197), alpha 244; black lifted to 152 -> 145.
                             GreyCase{false, qRgba(255, 255, 255, 255), qRgba(197, 197, 197, 244)},
                             GreyCase{false, qRgba(0, 0, 0, 255), qRgba(145, 145, 145, 244)},
                             GreyCase{false, qRgba(0, 0, 0, 128), qRgba(145, 145, 145, 130)},
                             // Dark: black to 130 -> 130, white to 180 -> 161, pure red (luma 76) to 144 -> 138.
                             GreyCase{true, qRgba(0, 0, 0, 255), qRgba(130, 130, 130, 232)},
                             GreyCase{true, qRgba(255, 255, 255, 255), qRgba(161, 161, 161, 232)},
                             GreyCase{true, qRgba(255, 0, 0, 255), qRgba(138, 138, 138, 232)},
                             // Clear pixels stay clear in both.
                             GreyCase{true, qRgba(255, 255, 255, 0), qRgba(255, 255, 255, 0)},
                             GreyCase{false, qRgba(10, 20, 30, 0), qRgba(10, 20, 30, 0)}));

TEST_F(ImageFolders, DisabledIconsCarryTheProgramsGrey)
{
    Png(Source(), "A.png", Qt::black);
    ASSERT_TRUE(LoadImageLists());
    const QIcon icon = ImageListOf(0).Icon(0);
    const QImage disabled =
        icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(disabled.pixel(8, 8), ImageListOf(0).DisabledImage(0).pixel(8, 8));
    EXPECT_TRUE(ImageListOf(0).Icon(5).isNull());
}

TEST_F(ImageFolders, PanCursorFollowsTheDensity)
{
    LoadImageLists();
    EXPECT_FALSE(PanCursorImage().has_value());
    Png(App.ExeFolder + QStringLiteral("/Resources/Cursors"), "Grab.png", Qt::white, {48, 48});
    const struct {
        int ppi, side;
        QPoint hot;
    } cases[] = {{96, 18, {9, 2}}, {144, 28, {14, 3}}, {120, 23, {11, 2}}};
    for (const auto &c : cases) {
        CurrentPPI = c.ppi;
        LoadImageLists();
        ASSERT_TRUE(PanCursorImage().has_value()) << c.ppi;
        EXPECT_EQ(PanCursorImage()->pixmap().size(), QSize(c.side, c.side)) << c.ppi;
        EXPECT_EQ(PanCursorImage()->hotSpot(), c.hot) << c.ppi;
    }
}

// ---- The images the build draws ------------------------------------------------------------

QStringList pngNames(const QString &folder)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (QString &n : names)
        n.chop(4);
    names.sort();
    return names;
}

TEST(BuiltImages, EveryNameHasAPictureInBothSetsAndEveryPictureIsNamed)
{
    QStringList listed;
    for (const char *name : ImageNames)
        listed << QLatin1String(name);
    listed.sort();
    EXPECT_EQ(listed.removeDuplicates(), 0);
    const QString folder = QStringLiteral(ORVALE_BIN_DIR "/Resources/PNGImages");
    EXPECT_EQ(pngNames(folder), listed);
    EXPECT_EQ(pngNames(folder + QStringLiteral("/HC")), listed);
    for (const QString &name : listed) {
        const QImage image(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        EXPECT_EQ(image.size(), QSize(48, 48)) << name.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
    }
    EXPECT_FALSE(QImage(QStringLiteral(ORVALE_BIN_DIR "/Resources/Cursors/Grab.png")).isNull());
    EXPECT_FALSE(QImage(QStringLiteral(ORVALE_BIN_DIR "/Resources/OrvalePDFSync.png")).isNull());
}

TEST(BuiltImages, EveryCommandImageIsListed)
{
    QStringList listed;
    for (const char *name : ImageNames)
        listed << QLatin1String(name);
    for (const TMenuEntry &e : MainMenuTable()) {
        if (e.kind == TMenuEntry::Item && *e.image) {
            EXPECT_TRUE(listed.contains(QLatin1String(e.image))) << e.field << " " << e.image;
        }
    }
}

} // namespace
