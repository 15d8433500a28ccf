#include "platform/FileWatch.h"

#include <QFileInfo>
#include <QHash>
#include <QSocketNotifier>
#include <QStringList>
#include <QtDebug>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pl {

namespace {

// A rewrite in place ends with the writer's close; latexmk and editors write a temporary file
// and rename it over the old one.
constexpr uint32_t WatchMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR;

QString FolderOf(const QString &path) { return QFileInfo(path).absolutePath(); }

QString Absolute(const QString &path) { return QFileInfo(path).absoluteFilePath(); }

} // namespace

struct FileWatch::Impl {
    struct Folder {
        int wd = -1;
        int refs = 0;
    };

    explicit Impl(FileWatch &owner) : Owner(owner)
    {
        Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (Fd < 0) {
            qWarning("File watch unavailable (%s): changed files are found by polling", strerror(errno));
            return;
        }
        Notifier = std::make_unique<QSocketNotifier>(Fd, QSocketNotifier::Read);
        QObject::connect(Notifier.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
    }

    ~Impl()
    {
        Notifier.reset();
        if (Fd >= 0)
            close(Fd);
    }

    bool Add(const QString &path)
    {
        if (Fd < 0)
            return false;
        const QString folder = FolderOf(path);
        Folder &f = Folders[folder];
        if (f.refs == 0) {
            f.wd = inotify_add_watch(Fd, QFile::encodeName(folder).constData(), WatchMask);
            if (f.wd < 0) {
                qWarning("No file watch on %s (%s): its files are found changed by polling", qPrintable(folder),
                         strerror(errno));
                Folders.remove(folder);
                return false;
            }
            ByWd.insert(f.wd, folder);
        }
        ++f.refs;
        ++Files[path];
        return true;
    }

    void Remove(const QString &path)
    {
        auto file = Files.find(path);
        if (file == Files.end())
            return;
        if (--file.value() == 0)
            Files.erase(file);
        const QString folder = FolderOf(path);
        auto f = Folders.find(folder);
        if (f == Folders.end() || --f->refs > 0)
            return;
        inotify_rm_watch(Fd, f->wd);
        ByWd.remove(f->wd);
        Folders.erase(f);
    }

    void ReadEvents()
    {
        QStringList changed;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t n = read(Fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto *ev = reinterpret_cast<const inotify_event *>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + ev->len);
                if (ev->len == 0 || !(ev->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)))
                    continue;
                const auto folder = ByWd.constFind(ev->wd);
                if (folder == ByWd.constEnd())
                    continue;
                const QString path = *folder + QLatin1Char('/') + QFile::decodeName(ev->name);
                if (Files.contains(path) && !changed.contains(path))
                    changed.append(path);
            }
        }
        for (const QString &path : changed)
            if (Owner.Changed)
                Owner.Changed(path);
    }

    FileWatch &Owner;
    int Fd = -1;
    std::unique_ptr<QSocketNotifier> Notifier;
    QHash<QString, Folder> Folders;
    QHash<int, QString> ByWd;
    QHash<QString, int> Files;
};

FileWatch::FileWatch() : d(std::make_unique<Impl>(*this)) {}

FileWatch::~FileWatch() = default;

bool FileWatch::Active() const { return d->Fd >= 0; }

bool FileWatch::Add(const QString &path) { return d->Add(Absolute(path)); }

void FileWatch::Remove(const QString &path) { d->Remove(Absolute(path)); }

int FileWatch::FolderCount() const { return int(d->Folders.size()); }

} // namespace pl
