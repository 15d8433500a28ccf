#pragma once
// Owners of the library's handles. Each closes its handle through the binding it came
// from, so the binding must outlive every handle (pages before their document).
#include "engine/DPLPDFiumDLL.h"

#include <memory>
#include <type_traits>

template <auto Close>
class TPdfCloser {
public:
    TPdfCloser() = default;
    explicit TPdfCloser(const TDPLPDFiumDLL &dll) : dll_(&dll) {}
    template <typename Handle>
    void operator()(Handle handle) const
    {
        (dll_->*Close)(handle);
    }

private:
    const TDPLPDFiumDLL *dll_ = nullptr;
};

template <typename Handle, auto Close>
using TPdfHandle = std::unique_ptr<std::remove_pointer_t<Handle>, TPdfCloser<Close>>;

using TPdfDocument = TPdfHandle<FPDF_DOCUMENT, &TDPLPDFiumDLL::FPDF_CloseDocument>;
using TPdfPage = TPdfHandle<FPDF_PAGE, &TDPLPDFiumDLL::FPDF_ClosePage>;
using TPdfTextPage = TPdfHandle<FPDF_TEXTPAGE, &TDPLPDFiumDLL::FPDFText_ClosePage>;
using TPdfBitmap = TPdfHandle<FPDF_BITMAP, &TDPLPDFiumDLL::FPDFBitmap_Destroy>;

// Takes ownership of a handle just returned by the binding (null stays empty):
// auto doc = AdoptPdf<TPdfDocument>(dll, dll.FPDF_LoadDocument(path, password));
template <typename Owner>
Owner AdoptPdf(const TDPLPDFiumDLL &dll, typename Owner::pointer handle)
{
    return Owner(handle, typename Owner::deleter_type(dll));
}
