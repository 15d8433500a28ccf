// orvalepdf-synctex: the viewer's SyncTeX searches from the command line.
#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "tools/synctex/SyncTeXTool.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char Usage[] = "usage: orvalepdf-synctex view FILE.pdf SOURCE LINE\n"
                     "       orvalepdf-synctex edit FILE.pdf PAGE X Y\n"
                     "       orvalepdf-synctex batch FILE.pdf < QUERIES\n"
                     "       orvalepdf-synctex inputs FILE.pdf\n"
                     "PAGE is 1-based; X and Y are points from the page's top-left corner. A batch query is\n"
                     "\"view<TAB>SOURCE<TAB>LINE\" or \"edit<TAB>PAGE<TAB>X<TAB>Y\", one a line. inputs lists the\n"
                     "source files the SyncTeX data names, each \"Found: FILE\" as a forward search finds it\n"
                     "or \"Missing: NAME\".\n";

// What the engine would show in a message box goes to the error output.
class ErrorOutput final : public TMessageSink {
public:
    ErrorOutput() { SetMessageSink(this); }
    ~ErrorOutput() override { SetMessageSink(nullptr); }
    int ShowMessage(const TMessageRequest &request) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.title), qPrintable(request.text));
        return mrCancel;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    const bool known = (command == QLatin1String("view") && args.size() == 4)
        || (command == QLatin1String("edit") && args.size() == 5)
        || ((command == QLatin1String("batch") || command == QLatin1String("inputs")) && args.size() == 2);
    if (!known) {
        std::fputs(Usage, stderr);
        return 2;
    }
    App.ExeFolder = QCoreApplication::applicationDirPath();
    ErrorOutput errors;
    QTextStream out(stdout);
    TSyncTeXTool tool(out);
    if (!tool.Open(args[1]))
        return 1;
    if (command == QLatin1String("inputs"))
        return tool.Inputs() ? 0 : 1;
    if (command == QLatin1String("batch")) {
        QTextStream in(stdin);
        tool.Batch(in);
        return 0;
    }
    QStringList query = args;
    query.removeAt(1);
    return tool.Query(query) ? 0 : 1;
}
