// Detached program start: double fork so that no zombie is left, a new session so that the
// program outlives a terminal the viewer was started from, and the exec error carried back
// through a pipe that closes itself on a successful exec.
#include "platform/Process.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char **environ;

namespace pl {
namespace {

// strerror_r comes in two shapes; both are accepted.
[[maybe_unused]] const char *errorTextOf(int result, const char *buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char *errorTextOf(const char *result, const char *) { return result; }

bool fail(ProcessError &error, int code)
{
    error.code = code;
    error.text = systemErrorText(code);
    return false;
}

bool isExecutableFile(const QByteArray &path)
{
    struct stat sb {};
    return ::stat(path.constData(), &sb) == 0 && S_ISREG(sb.st_mode) && ::access(path.constData(), X_OK) == 0;
}

// NUL-terminated arrays for execve, built before fork: after fork only async-signal-safe
// calls are allowed in a threaded process.
class CStringArray {
public:
    void add(QByteArray s) { storage_.push_back(std::move(s)); }
    char **data()
    {
        pointers_.clear();
        for (QByteArray &s : storage_)
            pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
        return pointers_.data();
    }

private:
    std::vector<QByteArray> storage_;
    std::vector<char *> pointers_;
};

void writeErrno(int fd, int code)
{
    ssize_t r;
    do
        r = ::write(fd, &code, sizeof code);
    while (r < 0 && errno == EINTR);
}

void closeFrom(int first, int last, int maxFd)
{
    if (first > last)
        return;
    if (::close_range(unsigned(first), unsigned(last), 0) == 0)
        return;
    for (int fd = first; fd <= last && fd < maxFd; ++fd)
        ::close(fd);
}

[[noreturn]] void runChild(int errorFd, const char *file, char **argv, char **envp, int maxFd)
{
    ::setsid();
    const pid_t pid = ::fork();
    if (pid != 0) {
        if (pid < 0)
            writeErrno(errorFd, errno);
        ::_exit(0);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s = 1; s < NSIG; ++s)
        ::signal(s, SIG_DFL);
    closeFrom(3, errorFd - 1, maxFd);
    closeFrom(errorFd < 3 ? 3 : errorFd + 1, INT_MAX, maxFd);
    ::execve(file, argv, envp);
    writeErrno(errorFd, errno);
    ::_exit(127);
}

class PosixProcess final : public Process {
public:
    bool start(const QStringList &argv, const QStringList &unsetNames, ProcessError &error) override
    {
        error = {};
        if (argv.isEmpty() || argv[0].isEmpty())
            return fail(error, ENOENT);
        const QString path = argv[0].contains(QLatin1Char('/')) ? argv[0] : findProgramOnPath(argv[0]);
        if (path.isEmpty())
            return fail(error, ENOENT);

        const QByteArray file = QFile::encodeName(path);
        CStringArray args;
        for (const QString &a : argv)
            args.add(QFile::encodeName(a));
        CStringArray env;
        for (char **e = environ; e && *e; ++e) {
            const char *eq = std::strchr(*e, '=');
            const QString name = QString::fromLocal8Bit(*e, eq ? eq - *e : qsizetype(std::strlen(*e)));
            if (!unsetNames.contains(name))
                env.add(QByteArray(*e));
        }
        char **argvp = args.data();
        char **envp = env.data();
        const long openMax = ::sysconf(_SC_OPEN_MAX);
        const int maxFd = openMax > 0 && openMax < 65536 ? int(openMax) : 65536;

        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return fail(error, errno);
        const pid_t pid = ::fork();
        if (pid < 0) {
            const int code = errno;
            ::close(fds[0]);
            ::close(fds[1]);
            return fail(error, code);
        }
        if (pid == 0)
            runChild(fds[1], file.constData(), argvp, envp, maxFd);

        ::close(fds[1]);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        int childError = 0;
        ssize_t got;
        do
            got = ::read(fds[0], &childError, sizeof childError);
        while (got < 0 && errno == EINTR);
        ::close(fds[0]);
        if (got == ssize_t(sizeof childError))
            return fail(error, childError);
        return true;
    }
};

PosixProcess posixProcess;
Process *currentProcess = &posixProcess;

} // namespace

QString systemErrorText(int code)
{
    char buffer[512] = {};
    const char *text = errorTextOf(strerror_r(code, buffer, sizeof buffer), buffer);
    return text && *text ? QString::fromLocal8Bit(text) : QStringLiteral("Error Code: ") + QString::number(code);
}

QString findProgramOnPath(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QString();
    const QStringList folders = QString::fromLocal8Bit(qgetenv("PATH")).split(QLatin1Char(':'));
    for (const QString &folder : folders) {
        if (!folder.startsWith(QLatin1Char('/')))
            continue;
        const QString candidate = folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
        if (isExecutableFile(QFile::encodeName(candidate)))
            return candidate;
    }
    return QString();
}

Process &process() { return *currentProcess; }
void setProcess(Process *p) { currentProcess = p ? p : &posixProcess; }

} // namespace pl
