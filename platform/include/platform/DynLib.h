#pragma once
#include <QString>

namespace pl {

// One shared library loaded at run time by absolute path. A library found already in the
// process is used without taking a reference, so it is never unloaded from here; one loaded
// here is unloaded with unload() or the destructor. Loader errors go to errorText() only.
class DynLib {
public:
    DynLib() = default;
    ~DynLib();
    DynLib(const DynLib &) = delete;
    DynLib &operator=(const DynLib &) = delete;

    // Uses the library if it is already in the process; true when found.
    bool attach(const QString &absolutePath);
    // Loads the library with all symbols resolved now and kept local; true when loaded.
    bool load(const QString &absolutePath);
    // The address of an exported name, or null.
    void *symbol(const char *name) const;
    // Drops the reference taken by load(); an attached library stays as it is.
    void unload();

    bool isOpen() const { return handle_ != nullptr; }
    bool ownsReference() const { return owned_; }
    const QString &errorText() const { return error_; }

private:
    bool acceptPath(const QString &path);
    void *handle_ = nullptr;
    bool owned_ = false;
    QString error_;
};

} // namespace pl
