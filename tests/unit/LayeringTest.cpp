// The layers as the build links them, checked on the sources: every #include of the tree is read
// and an include that reaches a higher layer, a POSIX or X11 header outside the platform layer,
// or a widget header below the windows fails with its file and line.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <optional>

namespace {

// Rank of each layer folder; a file may include its own layer and lower ranks. Equal ranks of
// different folders (print and shell, the two executables) do not include each other. The PDF
// library is a world of its own below everything.
std::optional<int> LayerRank(const QString &layer)
{
    static const QHash<QString, int> ranks = {
        {"pdfium-compat", 0}, {"platform", 1}, {"base", 2}, {"settings", 3}, {"synctex", 4}, {"engine", 5},
        {"print", 6},         {"shell", 6},    {"app", 7},  {"ui", 8},       {"main", 9},    {"tools", 9},
    };
    const auto it = ranks.find(layer);
    if (it == ranks.end())
        return std::nullopt;
    return *it;
}

QString FirstFolder(const QString &path) { return path.section('/', 0, 0); }

// Headers that tie the code to POSIX or X11.
bool IsSystemHeader(const QString &header)
{
    static const QSet<QString> names = {
        "unistd.h",  "fcntl.h",   "iconv.h", "dlfcn.h",     "signal.h",  "pthread.h", "poll.h",     "termios.h",
        "dirent.h",  "pwd.h",     "grp.h",   "spawn.h",     "syslog.h",  "netdb.h",   "libgen.h",   "glob.h",
        "fnmatch.h", "wordexp.h", "sched.h", "semaphore.h", "strings.h", "utime.h",   "langinfo.h", "execinfo.h",
        "mqueue.h",  "ftw.h",     "err.h",   "getopt.h",    "link.h",    "elf.h",     "endian.h",   "xcb.h",
    };
    static const QStringList folders = {"sys/", "X11/", "xcb/", "linux/", "netinet/", "arpa/", "asm/", "bits/"};
    for (const QString &folder : folders)
        if (header.startsWith(folder))
            return true;
    return names.contains(header);
}

// QtWidgets and the print dialogs: the windows' business only.
bool IsWidgetHeader(const QString &header)
{
    static const QSet<QString> names = {
        "QtWidgets",
        "QWidget",
        "QDialog",
        "QApplication",
        "QMainWindow",
        "QMessageBox",
        "QPushButton",
        "QLabel",
        "QLineEdit",
        "QComboBox",
        "QCheckBox",
        "QRadioButton",
        "QMenu",
        "QMenuBar",
        "QToolBar",
        "QToolButton",
        "QStatusBar",
        "QScrollArea",
        "QAbstractScrollArea",
        "QScrollBar",
        "QTabBar",
        "QTabWidget",
        "QTreeView",
        "QTreeWidget",
        "QListView",
        "QListWidget",
        "QTableView",
        "QTableWidget",
        "QHeaderView",
        "QSplitter",
        "QFrame",
        "QGroupBox",
        "QSpinBox",
        "QDoubleSpinBox",
        "QSlider",
        "QProgressBar",
        "QLayout",
        "QBoxLayout",
        "QHBoxLayout",
        "QVBoxLayout",
        "QGridLayout",
        "QFormLayout",
        "QStackedWidget",
        "QDockWidget",
        "QStyle",
        "QProxyStyle",
        "QStyleFactory",
        "QStyleOption",
        "QStyleOptionComboBox",
        "QStylePainter",
        "QFileDialog",
        "QColorDialog",
        "QFontDialog",
        "QInputDialog",
        "QProgressDialog",
        "QDialogButtonBox",
        "QAbstractButton",
        "QAbstractItemView",
        "QCompleter",
        "QSystemTrayIcon",
        "QToolTip",
        "QWhatsThis",
        "QGraphicsView",
        "QGraphicsScene",
        "QPlainTextEdit",
        "QTextEdit",
        "QTextBrowser",
        "QSizeGrip",
        "QRubberBand",
        "QSpacerItem",
        "QWidgetAction",
        "QScroller",
        "QPrintDialog",
        "QPrintPreviewDialog",
        "QPrintPreviewWidget",
        "QPageSetupDialog",
        "QAbstractPrintDialog",
    };
    if (header.startsWith(QLatin1String("QtWidgets/")))
        return true;
    if (header.startsWith(QLatin1String("QtPrintSupport/")))
        return names.contains(header.section('/', 1));
    return names.contains(header);
}

const QRegularExpression &IncludeLine()
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
    return re;
}

} // namespace

// What is wrong with one line of a file (a path relative to the source root), or nothing.
std::optional<QString> LayeringViolation(const QString &file, const QString &line)
{
    const auto match = IncludeLine().match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const QString header = match.captured(2);
    const QString layer = FirstFolder(file);
    if (layer == QLatin1String("tests") || layer == QLatin1String("bench"))
        return std::nullopt;
    const auto rank = LayerRank(layer);
    if (!rank)
        return QStringLiteral("%1 is in no layer").arg(file);

    if (match.captured(1) == QLatin1String("\"") && header.contains('/')) {
        const QString target = FirstFolder(header);
        const auto targetRank = LayerRank(target);
        if (targetRank && target != layer && *targetRank >= *rank)
            return QStringLiteral("includes %1 of layer %2, not below %3").arg(header, target, layer);
    }
    if (IsSystemHeader(header) && layer != QLatin1String("platform") && layer != QLatin1String("pdfium-compat"))
        return QStringLiteral("includes the POSIX or X11 header <%1> outside platform/").arg(header);
    if (IsWidgetHeader(header) && *rank < *LayerRank(QStringLiteral("ui")))
        return QStringLiteral("includes the widget header <%1> below ui/").arg(header);
    return std::nullopt;
}

// Every violation of the tree as "file:line: what".
QStringList TreeViolations(const QString &root)
{
    QStringList found;
    const QDir base(root);
    QDirIterator it(root, {"*.h", "*.hpp", "*.c", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = base.relativeFilePath(it.next());
        const QString top = FirstFolder(path);
        if (top.startsWith('.') || top.startsWith(QLatin1String("build")) || !path.contains('/'))
            continue;
        QFile f(it.filePath());
        if (!f.open(QIODevice::ReadOnly)) {
            found << path + QStringLiteral(": cannot be read");
            continue;
        }
        int n = 0;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine());
            ++n;
            if (const auto what = LayeringViolation(path, line))
                found << QStringLiteral("%1:%2: %3").arg(path).arg(n).arg(*what);
        }
    }
    found.sort();
    return found;
}

TEST(Layering, OneLineAgainstTheRules)
{
    struct Case {
        const char *file;
        const char *line;
        bool fails;
    };
    const Case cases[] = {
        // Downward and sideways within a layer.
        {"base/TextUtils.cpp", "#include \"base/TextCodec.h\"", false},
        {"engine/QPDF.cpp", "#include \"synctex/SyncTeX.h\"", false},
        {"ui/MainForm.cpp", "  #  include \"app/CmdLine.h\"  // comment", false},
        {"main/main.cpp", "#include \"ui/MainForm.h\"", false},
        {"tools/synctex/main.cpp", "#include \"engine/QPDF.h\"", false},
        {"platform/linux/PosixFiles.cpp", "#include \"platform/Files.h\"", false},
        {"platform/linux/X11KeyState.cpp", "#include \"X11Keymap.h\"", false},
        // Upward, and across the two layers beside the engine.
        {"base/TextUtils.cpp", "#include \"app/CmdLine.h\"", true},
        {"engine/QPDF.h", "#include \"app/MainSequence.h\"", true},
        {"settings/Prefer.cpp", "#include \"synctex/SyncTeX.h\"", true},
        {"synctex/SyncTeX.cpp", "#include \"engine/Document.h\"", true},
        {"app/CmdLine.cpp", "#include \"ui/MainForm.h\"", true},
        {"print/Job.cpp", "#include \"shell/Launch.h\"", true},
        {"shell/Launch.cpp", "#include \"print/Job.h\"", true},
        {"tools/synctex/main.cpp", "#include \"main/Foo.h\"", true},
        {"platform/linux/Paths.cpp", "#include \"base/AppState.h\"", true},
        {"pdfium-compat/src/doc.c", "#include \"platform/Files.h\"", true},
        // POSIX and X11 headers.
        {"base/FileIO.cpp", "#include <unistd.h>", true},
        {"base/FileIO.cpp", "#include <sys/stat.h>", true},
        {"base/TextCodec.cpp", "#include <iconv.h>", true},
        {"ui/Keys.cpp", "#include <X11/Xlib.h>", true},
        {"main/main.cpp", "#include <xcb/xcb.h>", true},
        {"engine/DPLPDFiumDLL.cpp", "#include <dlfcn.h>", true},
        {"app/MainSequence.cpp", "#include <signal.h>", true},
        {"engine/QPDF.cpp", "#include <csignal>", false},
        {"platform/linux/PosixFiles.cpp", "#include <sys/stat.h>", false},
        {"pdfium-compat/src/doc.c", "#include <pthread.h>", false},
        {"tests/unit/base/FileIOTest.cpp", "#include <unistd.h>", false},
        {"bench/Bench.cpp", "#include <sys/resource.h>", false},
        // Widgets.
        {"engine/QPDF.cpp", "#include <QWidget>", true},
        {"app/FocusApplication.cpp", "#include <QApplication>", true},
        {"base/MessageDialog.cpp", "#include <QtWidgets/QMessageBox>", true},
        {"print/Job.cpp", "#include <QPrintDialog>", true},
        {"print/Job.cpp", "#include <QtPrintSupport/QPageSetupDialog>", true},
        {"settings/Colors.cpp", "#include <QStyle>", true},
        {"app/HandOver.cpp", "#include <QGuiApplication>", false},
        {"engine/QPDF.cpp", "#include <QAction>", false},
        {"ui/MainForm.cpp", "#include <QMainWindow>", false},
        {"main/main.cpp", "#include <QDialog>", false},
        // Not includes.
        {"base/TextUtils.cpp", "// #include \"app/CmdLine.h\" would be wrong", false},
        {"base/TextUtils.cpp", "int include = 0;", false},
        // Outside every layer.
        {"misc/Foo.cpp", "#include <QString>", true},
    };
    for (const Case &c : cases) {
        const auto what = LayeringViolation(QString::fromLatin1(c.file), QString::fromLatin1(c.line));
        EXPECT_EQ(what.has_value(), c.fails) << c.file << ": " << c.line << (what ? " -> " + what->toStdString() : "");
    }
}

TEST(Layering, TheTreeKeepsItsLayers)
{
    const QStringList found = TreeViolations(QStringLiteral(ORVALE_SOURCE_DIR));
    for (const QString &v : found)
        ADD_FAILURE() << v.toStdString();
}

TEST(Layering, TheTreeIsFound)
{
    // A wrong source folder would pass the test above without reading anything.
    EXPECT_TRUE(QFile::exists(QStringLiteral(ORVALE_SOURCE_DIR "/engine/QPDF.h")));
}
