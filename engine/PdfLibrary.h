#pragma once
// The PDF library beside the executable: located and bound when the engine starts, the user
// told when it cannot be used, shut down and unloaded after everything that used it.
#include "engine/DPLPDFiumDLL.h"

#include <QString>

#include <memory>

class TPdfLibrary {
public:
    TPdfLibrary() = default;
    // Every page and document is closed by now: the library may go.
    ~TPdfLibrary() { Binding->Delete(); }
    TPdfLibrary(const TPdfLibrary &) = delete;
    TPdfLibrary &operator=(const TPdfLibrary &) = delete;

    // Locates the library in exeFolder and binds it; false, after telling the user, when it
    // is missing or does not bind.
    bool Bind(const QString &exeFolder);
    // The binding; its calls work only once Bind succeeded.
    TDPLPDFiumDLL &DLL() const { return *Binding; }
    // The binding once a library file was found, even when binding it failed; else null.
    const TDPLPDFiumDLL *Located() const { return Found ? Binding.get() : nullptr; }

private:
    std::unique_ptr<TDPLPDFiumDLL> Binding = std::make_unique<TDPLPDFiumDLL>();
    bool Found = false;
};
