#include "platform/DynLib.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace pl {

namespace {

QString loaderError()
{
    const char *text = dlerror();
    return text ? QString::fromLocal8Bit(text) : QString();
}

} // namespace

DynLib::~DynLib() { unload(); }

// A bare or relative name would let the loader search LD_LIBRARY_PATH and the working
// directory, where a planted library could be picked up.
bool DynLib::acceptPath(const QString &path)
{
    error_.clear();
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        error_ = QStringLiteral("not an absolute path: \"") + path + '"';
        return false;
    }
    return true;
}

bool DynLib::attach(const QString &absolutePath)
{
    unload();
    if (!acceptPath(absolutePath))
        return false;
    void *found = dlopen(QFile::encodeName(absolutePath).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!found)
        return false;
    // The probe counted one more reference; the library stays loaded by whoever loaded it.
    dlclose(found);
    handle_ = found;
    owned_ = false;
    return true;
}

bool DynLib::load(const QString &absolutePath)
{
    unload();
    if (!acceptPath(absolutePath))
        return false;
    handle_ = dlopen(QFile::encodeName(absolutePath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        error_ = loaderError();
        return false;
    }
    owned_ = true;
    return true;
}

void *DynLib::symbol(const char *name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

void DynLib::unload()
{
    if (handle_ && owned_)
        dlclose(handle_);
    handle_ = nullptr;
    owned_ = false;
}

} // namespace pl
