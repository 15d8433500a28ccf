// The typed page list of the print dialog: what it accepts is ascending, each page once, and
// within the document.
#include "FuzzInput.h"

#include "print/PageRange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const int pageCount = 1 + in.Byte() * 256 + in.Byte();
    const QString text = in.Text();
    const TPageRangeParse parse = ParsePageRange(text, pageCount);
    if (!parse.ok()) {
        FUZZ_CHECK(parse.pages.empty());
        PageRangeErrorText(parse.error);
        return 0;
    }
    for (size_t i = 0; i < parse.pages.size(); ++i) {
        FUZZ_CHECK(parse.pages[i] >= 1 && parse.pages[i] <= pageCount);
        FUZZ_CHECK(i == 0 || parse.pages[i - 1] < parse.pages[i]);
    }
    return 0;
}
