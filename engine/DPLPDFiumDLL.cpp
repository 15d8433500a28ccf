#include "engine/DPLPDFiumDLL.h"

#include "base/DebugLog.h"

#include <QFileInfo>

TDPLPDFiumDLL::TDPLPDFiumDLL() = default;

TDPLPDFiumDLL::~TDPLPDFiumDLL()
{
    // A library someone else loaded stays in the process; OldExMask restores the mask last.
    if (FCanRelease)
        DLLHandle.unload();
}

QString TDPLPDFiumDLL::Locate(const QString &exeFolder)
{
    for (const char *name : {"/libpdfium.so", "/libpdfium64.so"}) {
        const QString path = exeFolder + QLatin1String(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

void *TDPLPDFiumDLL::Resolve(const char *name, bool required, bool &failed)
{
    void *address = DLLHandle.symbol(name);
    if (!address && required) {
        DebugLog(QStringLiteral("PDFium function missing: ") + QLatin1String(name));
        failed = true;
        if (DLLLoadErrFunction.isEmpty())
            DLLLoadErrFunction = name;
    }
    return address;
}

bool TDPLPDFiumDLL::Init(const QString &DLLFileName)
{
    FCanRelease = false;
    if (DLLFileName.isEmpty())
        return false;
    if (!DLLHandle.attach(DLLFileName))
        FCanRelease = DLLHandle.load(DLLFileName);
    if (!DLLHandle.isOpen()) {
        DebugLog(QStringLiteral("PDFium not loaded: ") + DLLHandle.errorText());
        return false;
    }

    bool failed = false;
#define ORVALE_PDFIUM_BIND(name, required) name = reinterpret_cast<decltype(name)>(Resolve(#name, required, failed));
    ORVALE_PDFIUM_FUNCTIONS(ORVALE_PDFIUM_BIND)
#undef ORVALE_PDFIUM_BIND
    if (failed)
        return false;

    FPDF_LIBRARY_CONFIG config{};
    config.version = 2;
    FPDF_InitLibraryWithConfig(&config);
    FLibraryInitialized = true;
    return true;
}

bool TDPLPDFiumDLL::Delete()
{
    if (!FCanRelease || !FLibraryInitialized)
        return false;
    FPDF_DestroyLibrary();
    FLibraryInitialized = false;
    return true;
}
