// The toolbar definition as a user types it in the preferences or edits the data file.
#include "FuzzInput.h"

#include "app/ToolbarLanguage.h"
#include "settings/ToolbarDefinition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const bool searchToolbar = in.Byte() & 1;
    const bool adobe = in.Byte() & 1;
    TToolbarDefinition definition;
    definition.ReadFromString(in.Text());
    FUZZ_CHECK(definition.lines.size() <= TToolbarDefinition::MaxLines);
    std::vector<TXToolbarItem> items = TToolbarLanguage::Compile(definition.lines, [](const QString &) {});
    FUZZ_CHECK(items.size() <= size_t(TToolbarLanguage::MaxItems));
    TToolbarLanguage::FixPriority(items, searchToolbar, adobe);
    return 0;
}
