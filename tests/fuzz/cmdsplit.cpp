// Command templates: the Windows-rule splitter, and the editor command, whose argument count
// must never depend on the file name put into it.
#include "FuzzInput.h"

#include "platform/Process.h"
#include "synctex/EditorCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const int line = in.Byte();
    const QString commandTemplate = in.Text();
    const QString file = in.Text();
    pl::splitCommandLine(commandTemplate);

    const QString folder = QStringLiteral("/opt/a b");
    const TEditorCommand plain =
        ExpandEditorCommand(commandTemplate, QStringLiteral("/tmp/x.tex"), line, folder, folder);
    const TEditorCommand odd = ExpandEditorCommand(commandTemplate, file, line, folder, folder);
    if (plain.refused.isEmpty() && odd.refused.isEmpty())
        FUZZ_CHECK(plain.argv.size() == odd.argv.size());
    return 0;
}
