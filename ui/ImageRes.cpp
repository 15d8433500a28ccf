#include "ui/ImageRes.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"

#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A user's file announcing more pixels is not decoded: it could take all memory.
constexpr int kMaxImageSide = 1024;

struct TImageLists {
    std::vector<std::unique_ptr<TPNGImageList>> lists;
    std::unique_ptr<TPNGImageList> fallback;
    std::optional<QCursor> panCursor;
    int generation = 0;
};

TImageLists &State()
{
    static TImageLists state;
    return state;
}

QString imageFolder(const QString &root) { return root + QStringLiteral("/Resources/PNGImages"); }

// The regular files ending in ".png" in any case, sorted without regard to case (ties by
// exact spelling), so that indexes are the same on every machine.
QStringList pngFiles(const QString &folder)
{
    QStringList files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            continue;
        // A pipe or device would block or never end.
        if (FileExists(folder + QLatin1Char('/') + name))
            files << name;
        else
            DebugLog(QStringLiteral("Image skipped, not a regular file: ") + folder + QLatin1Char('/') + name);
    }
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

// The picture of a file as 32-bit colour with alpha; nothing for a damaged file or one
// announcing more than kMaxImageSide pixels on a side (both logged).
std::optional<QImage> readImage(const QString &file)
{
    QImageReader reader(file, "png");
    const QSize size = reader.size();
    if (size.width() > kMaxImageSide || size.height() > kMaxImageSide) {
        DebugLog(QStringLiteral("Image larger than 1024x1024 skipped: ") + file);
        return std::nullopt;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        DebugLog(QStringLiteral("Damaged image skipped: ") + file);
        return std::nullopt;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

// One listed folder of images; HC holds the variants for a dark system ("|" + name).
struct TImageFolder {
    QString folder;
    QString logHead;
    bool hc = false;
    QStringList files;
    QString Name(const QString &file) const { return (hc ? QStringLiteral("|") : QString()) + file.chopped(4); }
    QString Path(const QString &file) const { return folder + QLatin1Char('/') + file; }
    void Log() const
    {
        DebugLog(logHead + QLatin1Char('"') + folder + QLatin1Char('"') + QLatin1String(hc ? " HC Count: " : " Count: ")
                 + QString::number(files.size()));
    }
};

std::vector<TImageFolder> listFolders(const QString &root, const QString &logHead, const QString &hcLogHead)
{
    std::vector<TImageFolder> folders{{root, logHead, false, pngFiles(root)}};
    if (FolderExists(root + QStringLiteral("/HC")))
        folders.push_back({root + QStringLiteral("/HC"), hcLogHead, true, pngFiles(root + QStringLiteral("/HC"))});
    return folders;
}

bool fillList(TPNGImageList &list)
{
    DebugLog(QStringLiteral("Loading Image Resources: ") + QString::number(list.Size()) + QLatin1Char('x')
             + QString::number(list.Size()));
    const QString source = imageFolder(App.ExeFolder);
    const QString local = imageFolder(App.DataFolder);
    const bool haveSource = FolderExists(source);
    const bool haveLocal =
        !App.DataFolder.isEmpty() && FolderExists(local) && CanonicalPath(local) != CanonicalPath(source);
    const auto sourceFolders = haveSource
        ? listFolders(source, QStringLiteral("Source Images Directory  "), QStringLiteral("Source Images Directory  "))
        : std::vector<TImageFolder>();
    const auto localFolders = haveLocal
        ? listFolders(local, QStringLiteral("Local Images Directory  "), QStringLiteral("Local Images Directory "))
        : std::vector<TImageFolder>();
    // The user's pictures by name: a program image they replace keeps its index and is never
    // decoded itself.
    QHash<QString, QString> users;
    for (const TImageFolder &f : localFolders)
        for (const QString &file : f.files)
            users.insert(f.Name(file), f.Path(file));

    for (const TImageFolder &f : sourceFolders) {
        f.Log();
        for (const QString &file : f.files) {
            const QString name = f.Name(file);
            const auto user = users.find(name);
            std::optional<QImage> image = user != users.end() ? readImage(user.value()) : std::nullopt;
            if (user != users.end())
                users.erase(user);
            if (!image)
                image = readImage(f.Path(file));
            if (image)
                list.Add(*image, name);
        }
    }
    if (!haveSource)
        DebugLog(QStringLiteral("Image Directory does not exists: \"") + source + QStringLiteral("\"."));
    for (const TImageFolder &f : localFolders) {
        f.Log();
        for (const QString &file : f.files)
            if (users.contains(f.Name(file)))
                if (const auto image = readImage(f.Path(file)))
                    list.Add(*image, f.Name(file));
    }
    DebugLog(QStringLiteral("Loading Image Resources Done."), true);
    return haveSource;
}

std::optional<QCursor> loadPanCursor(int ppi)
{
    const QString tail = QStringLiteral("/Resources/Cursors/Grab.png");
    QString file = App.DataFolder + tail;
    if (App.DataFolder.isEmpty() || !FileExists(file))
        file = App.ExeFolder + tail;
    if (!FileExists(file))
        return std::nullopt;
    const auto image = readImage(file);
    if (!image)
        return std::nullopt;
    const int c = int(std::lround(1.15 * ImageListSize(16, ppi)));
    const QImage picture = image->size() == QSize(c, c) ? *image : ResizeImage(*image, c);
    return QCursor(QPixmap::fromImage(picture), c / 2, c / 9);
}

// One channel set of a picture scaled to size x size as the loader does: plainly up to a
// whole multiple first when the picture is smaller.
QImage scaleChannel(const QImage &image, int size)
{
    QImage step = image;
    if (const auto enlarged = EnlargeStep(image.size(), size))
        step = image.scaled(*enlarged, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return step.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

// ---- The list ----------------------------------------------------------------------------

int TPNGImageList::GetImageIndex(const QString &name, bool doHC) const
{
    if (name.isEmpty())
        return -1;
    if (doHC && SystemIsDark())
        if (const qsizetype hc = ImageFiles.indexOf(QLatin1Char('|') + name); hc >= 0)
            return int(hc);
    return int(ImageFiles.indexOf(name));
}

int TPNGImageList::AddImageName(const QString &name)
{
    const int index = Count() - 1;
    while (ImageFiles.size() <= index)
        ImageFiles << QString();
    ImageFiles[index] = name;
    return index;
}

void TPNGImageList::ClearList()
{
    Images.clear();
    Pixmaps.clear();
    ImageFiles.clear();
}

int TPNGImageList::Add(const QImage &image, const QString &name)
{
    Images.push_back(ResizeImage(image, FSize));
    Pixmaps.push_back(QPixmap::fromImage(Images.back()));
    return AddImageName(name);
}

void TPNGImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= Count())
        return;
    Images[size_t(index)] = ResizeImage(image, FSize);
    Pixmaps[size_t(index)] = QPixmap::fromImage(Images[size_t(index)]);
}

QImage TPNGImageList::Image(int index) const
{
    return index >= 0 && index < Count() ? Images[size_t(index)] : QImage();
}

QPixmap TPNGImageList::Pixmap(int index) const
{
    return index >= 0 && index < Count() ? Pixmaps[size_t(index)] : QPixmap();
}

QImage TPNGImageList::DisabledImage(int index) const
{
    return GreyedImage(Image(index), SystemIsDark(), Luma(ToQColor(SystemColor(COLOR_MENU))));
}

QIcon TPNGImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    QIcon icon;
    icon.addPixmap(Pixmap(index), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(DisabledImage(index)), QIcon::Disabled);
    return icon;
}

// ---- Sizes and pictures --------------------------------------------------------------------

int ImageListSize(int n, int ppi)
{
    int s = std::max(8, (n * ppi + 47) / 96);
    for (int snap : {16, 24, 32, 48})
        if (std::abs(s - snap) <= 2)
            return snap;
    if (s % 2 == 1)
        s += s % 4 == 1 ? -1 : 1;
    return s;
}

std::optional<QSize> EnlargeStep(QSize source, int size)
{
    if (source.width() <= 0 || source.height() <= 0 || source.width() >= size)
        return std::nullopt;
    const int k = size / source.width();
    return source * (k + 1);
}

QImage ResizeImage(const QImage &image, int size)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    if (source.size() == QSize(size, size))
        return source;
    if (source.width() == 0 || source.height() == 0) {
        QImage empty(size, size, QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        return empty;
    }
    // Colour and alpha apart, each as an opaque 32-bit picture (the fast path of Qt's
    // scaling): the colour of clear pixels never bleeds into their visible neighbours'
    // weights, as a scaling of the picture with its alpha would.
    QImage colour(source.size(), QImage::Format_RGB32);
    QImage alpha(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *c = reinterpret_cast<QRgb *>(colour.scanLine(y));
        auto *a = reinterpret_cast<QRgb *>(alpha.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            c[x] = in[x] | 0xFF000000u;
            const int v = qAlpha(in[x]);
            a[x] = qRgb(v, v, v);
        }
    }
    colour = scaleChannel(colour, size);
    alpha = scaleChannel(alpha, size);
    QImage result(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const auto *c = reinterpret_cast<const QRgb *>(colour.constScanLine(y));
        const auto *a = reinterpret_cast<const QRgb *>(alpha.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < size; ++x)
            out[x] = (c[x] & 0x00FFFFFFu) | (uint32_t(qGreen(a[x])) << 24);
    }
    return result;
}

int Luma(QColor color) { return (299 * color.red() + 587 * color.green() + 114 * color.blue()) / 1000; }

bool SystemIsDark() { return Luma(ToQColor(SystemColor(COLOR_BTNFACE))) < 128; }

QImage GreyedImage(const QImage &image, bool systemDark, int menuLuma)
{
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    const int m = menuLuma;
    const int base = 160 - (255 - m) / 2;
    const int h = std::min(m, 240);
    const int lo = systemDark ? 48 : 64, hi = systemDark ? 208 : 200;
    const int alo = systemDark ? 36 : 15, ahi = systemDark ? 232 : 244;
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb p = line[x];
            // Clear pixels stay clear: lifting their alpha would draw a faint square.
            if (qAlpha(p) == 0)
                continue;
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            int v = (299 * r + 587 * g + 114 * b) / 1000;
            if (systemDark) {
                const int top = std::min(250, 180 + 75 * (std::max({r, g, b}) - std::min({r, g, b})) / 140);
                if (v > 160)
                    v = (v * (top - 160) + 160 * (255 - top)) / 95;
                if (v < 130)
                    v = v * 30 / 160 + 130;
            } else {
                // A menu colour this dark on a light system leaves nothing to lift from.
                if (m > 25 && v < m - 25)
                    v = (base * (m - 25) + v * ((m - 25) - base)) / (m - 25);
                if (v > h)
                    v = (v * (250 - h) + 5 * h) / (255 - h);
            }
            const int c = lo + ((hi - lo) * std::clamp(v, 0, 255) + 128) / 255;
            const int a = alo + ((ahi - alo) * qAlpha(p) + 128) / 255;
            line[x] = qRgba(c, c, c, a);
        }
    }
    return grey;
}

// ---- The list set --------------------------------------------------------------------------

bool LoadImageLists()
{
    FreeImageLists();
    TImageLists &state = State();
    const int large = ImageListSize(Prefer.LargeIcons, CurrentPPI);
    const int small = ImageListSize(Prefer.SmallIcons, CurrentPPI);
    state.lists.push_back(std::make_unique<TPNGImageList>(large));
    if (Prefer.LargeIcons != Prefer.SmallIcons)
        state.lists.push_back(std::make_unique<TPNGImageList>(small));
    bool found = true;
    for (auto &list : state.lists)
        found = fillList(*list) && found;
    state.panCursor = loadPanCursor(CurrentPPI);
    ++state.generation;
    return found;
}

void FreeImageLists()
{
    TImageLists &state = State();
    state.fallback.reset();
    state.lists.clear();
    state.panCursor.reset();
}

TPNGImageList &ImageListOf(int index)
{
    TImageLists &state = State();
    if (state.lists.empty()) {
        if (!state.fallback)
            state.fallback = std::make_unique<TPNGImageList>(16);
        return *state.fallback;
    }
    return *state.lists[size_t(std::clamp(index, 0, int(state.lists.size()) - 1))];
}

bool ImageListsLoaded() { return !State().lists.empty(); }

int ImageListsGeneration() { return State().generation; }

std::optional<QCursor> PanCursorImage() { return State().panCursor; }
