// The colour text a user imports: whatever it applied exports as a text that imports again
// without a refusal and to the same colours.
#include "FuzzInput.h"

#include "settings/ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TColorTextSets defaults = [] {
        LoadColorDefaults();
        return TColorTextSets{DefaultMenuColors(), Colors.PdfLight, Colors.PdfDark};
    }();
    TFuzzInput in(data, size);
    TColorTextSets sets = defaults;
    const TColorImport result = ImportColors(in.Text(), sets);
    FUZZ_CHECK(result.ok() == result.reason.isEmpty());
    TColorTextSets again = defaults;
    FUZZ_CHECK(ImportColors(ExportColors(sets), again).ok());
    FUZZ_CHECK(again == sets);
    return 0;
}
