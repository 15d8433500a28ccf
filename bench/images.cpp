// Image lists and the toolbar's trim: LoadImageLists at 96 and 144 pixels per inch with the
// images the build draws, then with a data folder that overrides every one of them; and one
// TrimToolbarItems of the default definition. Targets: a load under 30 ms (start-up is on
// the path of a forward search), a trim under 0.5 ms.
//
//   bench_images [RUNS]
#include "app/ToolbarLanguage.h"
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "settings/ToolbarDefinition.h"
#include "ui/ImageRes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void timeLoads(const char *what, int runs)
{
    for (int ppi : {96, 144}) {
        CurrentPPI = ppi;
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            LoadImageLists();
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf("LoadImageLists %-26s %3d ppi, %2d images of %2d px: median %6.2f ms, worst %6.2f ms "
                    "(target < 30 ms)\n",
                    what, ppi, ImageListOf(0).Count(), ImageListOf(0).Size(), median(ms),
                    *std::max_element(ms.begin(), ms.end()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    App.ExeFolder = QCoreApplication::applicationDirPath();
    Prefer = TPrefer();
    Prefer.LargeIcons = Prefer.SmallIcons = 16;
    QTemporaryDir data;
    App.DataFolder = data.path();
    timeLoads("(shipped images)", runs);

    // The user's folder overriding every image and its dark variant.
    const QString source = App.ExeFolder + QStringLiteral("/Resources/PNGImages");
    for (const QString &sub : {QString(), QStringLiteral("/HC")}) {
        const QString target = data.path() + QStringLiteral("/Resources/PNGImages") + sub;
        QDir().mkpath(target);
        for (const QString &name : QDir(source + sub).entryList({QStringLiteral("*.png")}, QDir::Files))
            QFile::copy(source + sub + QLatin1Char('/') + name, target + QLatin1Char('/') + name);
    }
    timeLoads("(data folder overrides all)", runs);

    // One trim of the default definition at 96 per inch in the main font.
    auto items = TToolbarLanguage::Compile(TToolbarDefinition().lines, [](const QString &) {});
    TToolbarLanguage::FixPriority(items, true, false);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    TToolbarMetrics metrics;
    metrics.buttonWidth = TToolbarGeometry::Of(96, 26, 16, fm.height(), 16).buttonWidth;
    for (const auto &item : items)
        metrics.controlWidths.push_back(
            item.xtype == TToolbarItemKind::Control ? ToolbarControlWidth(item.control, item.extra, fm, 96) : 0);
    for (int width : {1600, 700, 300}) {
        metrics.stripWidth = width;
        std::vector<double> us;
        for (int i = 0; i < 1000; ++i) {
            QElapsedTimer t;
            t.start();
            TrimToolbarItems(items, metrics);
            us.push_back(double(t.nsecsElapsed()) / 1e3);
        }
        std::printf("TrimToolbar of the default (%zu items), strip %4d px: median %6.2f us, worst %7.2f us "
                    "(target < 500 us)\n",
                    items.size(), width, median(us), *std::max_element(us.begin(), us.end()));
    }
    FreeImageLists();
    return 0;
}
