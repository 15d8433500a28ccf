// The command text of a hand-over: items, steps, and the text form a second start sends. The
// steps are checked, never executed: running them would open arbitrary files of this machine.
#include "FuzzInput.h"

#include "app/CmdLine.h"
#include "app/PeerCmdLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const QString text = in.Text();
    const QStringList items = CmdLineItems(text);
    // The text form reads back as the same items.
    FUZZ_CHECK(CmdLineItems(CmdLineText(items)) == items);
    const std::vector<TCmdStep> steps = ParseCmdLine(items);
    for (size_t i = 0; i < steps.size(); ++i)
        FUZZ_CHECK(steps[i].kind != TCmdStep::IllegalSwitch || i + 1 == steps.size());
    const QString absolute = AbsoluteCmdLine(items, FuzzFolder().path());
    ParseCmdLine(CmdLineItems(absolute));

    // A start's arguments in other viewers' forms.
    QStringList args;
    while (args.size() < 8) {
        const QString arg = in.Text();
        if (arg.isEmpty())
            break;
        args << arg;
    }
    ParseCmdLine(TranslatePeerItems(args));
    return 0;
}
