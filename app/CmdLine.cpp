#include "app/CmdLine.h"

#include "base/DebugLog.h"
#include "base/MessageDialog.h"
#include "base/NumberParse.h"
#include "settings/Prefer.h"
#include "engine/QPDF.h"

#include <algorithm>

namespace {

QString decoded(const QString &item)
{
    QString text = item;
    return text.replace(QStringLiteral("||"), QStringLiteral("\""));
}

bool lineNumber(const QString &item, int &value) { return ParseInteger(item, 0, 999999999, value); }

bool HoldsLineBreak(const QString &item)
{
    return item.contains(QLatin1Char('\n')) || item.contains(QLatin1Char('\r'));
}

// An illegal item as the message shows it: line breaks made visible, so the whole argument
// stays on one line.
TCmdStep Illegal(const QString &item)
{
    TCmdStep step;
    step.kind = TCmdStep::IllegalSwitch;
    step.text =
        decoded(item).replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return step;
}

// An empty argument counts as none, as an empty line of the command text does.
QStringList WithoutEmptyItems(QStringList items)
{
    items.removeAll(QString());
    return items;
}

// Walks the items by the grammar; paths receives the indexes of file and source items.
std::vector<TCmdStep> Walk(const QStringList &items, std::vector<qsizetype> *paths)
{
    std::vector<TCmdStep> steps;
    const qsizetype n = items.size();
    qsizetype i = 0;
    // Every item is looked at here before it is taken as a switch, a value or a file.
    const auto next = [&](qsizetype at) {
        if (at >= n)
            return false;
        if (HoldsLineBreak(items[at])) {
            steps.push_back(Illegal(items[at]));
            i = n + 1;
            return false;
        }
        return true;
    };
    while (next(i)) {
        TCmdStep open;
        while (next(i) && items[i].startsWith(QLatin1Char('-'))) {
            qsizetype dashes = 0;
            while (dashes < items[i].size() && items[i][dashes] == QLatin1Char('-'))
                ++dashes;
            const QString sw = QLatin1Char('-') + items[i].mid(dashes);
            const QString item = items[i++];
            if (sw == QLatin1String("-inverse-search")) {
                TCmdStep step;
                step.kind = TCmdStep::SetInverseSearch;
                if (next(i))
                    step.text = decoded(items[i++]);
                else if (i > n)
                    return steps;
                else
                    step.restoreDefault = true;
                steps.push_back(step);
            } else if (sw == QLatin1String("-page-index")) {
                int value = 0;
                if (next(i) && lineNumber(items[i++], value)) {
                    open.lnum = value;
                    open.dest_type = TDestType::PageIndex;
                }
            } else if (sw == QLatin1String("-page-label") || sw == QLatin1String("-named-dest")) {
                if (next(i)) {
                    open.SRC = decoded(items[i++]);
                    open.dest_type = sw == QLatin1String("-page-label") ? TDestType::PageLabel : TDestType::NamedDest;
                }
            } else if (sw == QLatin1String("-forward-search")) {
                open.dest_type = TDestType::ForwardSearch;
                open.SRC.clear();
                open.lnum = 0;
                if (next(i)) {
                    if (paths)
                        paths->push_back(i);
                    open.SRC = decoded(items[i++]);
                    if (next(i) && !lineNumber(items[i++], open.lnum))
                        open.lnum = 0;
                }
            } else {
                steps.push_back(Illegal(item));
                return steps;
            }
        }
        if (!next(i))
            break;
        if (paths)
            paths->push_back(i);
        open.kind = TCmdStep::Open;
        open.text = decoded(items[i++]);
        steps.push_back(open);
    }
    return steps;
}

QString Quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

} // namespace

QStringList CmdLineItems(const QString &CL)
{
    QStringList items;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= CL.size(); ++i) {
        if (i == CL.size() || CL[i] == QLatin1Char('\r') || CL[i] == QLatin1Char('\n')) {
            if (i > start)
                items << CL.mid(start, i - start);
            start = i + 1;
        }
    }
    return items;
}

QString CmdLineText(const QStringList &items)
{
    QString text;
    for (const QString &item : items)
        text += item + QLatin1Char('\n');
    return text;
}

std::vector<TCmdStep> ParseCmdLine(const QStringList &items) { return Walk(WithoutEmptyItems(items), nullptr); }

QString AbsoluteCmdLine(const QStringList &items, const QString &folder)
{
    QStringList kept = WithoutEmptyItems(items);
    std::vector<qsizetype> paths;
    Walk(kept, &paths);
    for (qsizetype at : paths) {
        QString &item = kept[at];
        if (!item.startsWith(QLatin1Char('/')) && !item.startsWith(QLatin1Char('%')))
            item = folder + QLatin1Char('/') + item;
    }
    return CmdLineText(kept);
}

bool ExeCmdLine(TQPDF &QPDF, const QStringList &items)
{
    bool opened = false;
    for (const TCmdStep &step : ParseCmdLine(items)) {
        switch (step.kind) {
        case TCmdStep::SetInverseSearch:
            Prefer.InverseSearchCmd = step.restoreDefault ? TPrefer().InverseSearchCmd : step.text;
            break;
        case TCmdStep::IllegalSwitch:
            DebugLog(QStringLiteral("Illegal Command Line Switch: ") + Quoted(step.text));
            MessageDialog(QStringLiteral("Unknown Switch"),
                          QStringLiteral("Illegal Command Line Switch: ") + Quoted(step.text), mtError,
                          MsgButtons({mbOK}));
            return opened;
        case TCmdStep::Open: {
            const bool search = step.dest_type == TDestType::ForwardSearch && !step.SRC.isEmpty();
            const TForwardMark &mark = QPDF.ForwardMark();
            // The mark as it was, to tell whether this search placed a new one.
            const int pageBefore = mark.FSelBoxPage;
            const TFloatRectangles rectsBefore = mark.SelBoxRects;
            const bool paintedBefore = mark.FSelBoxRect.Right > mark.FSelBoxRect.Left;
            if (QPDF.OpenDocument(step.text, false, step.SRC, step.lnum, step.dest_type))
                opened = true;
            if (search) {
                const bool sameRects = std::equal(rectsBefore.begin(), rectsBefore.end(), mark.SelBoxRects.begin(),
                                                  mark.SelBoxRects.end(), [](const TFloatRect &a, const TFloatRect &b) {
                                                      return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right
                                                          && a.Bottom == b.Bottom;
                                                  });
                const bool painted = mark.FSelBoxRect.Right > mark.FSelBoxRect.Left;
                const bool marked = !mark.SelBoxRects.empty()
                    && (mark.FSelBoxPage != pageBefore || !sameRects || (paintedBefore && !painted));
                DebugLog(QStringLiteral("Forward Search: ") + Quoted(step.SRC) + QStringLiteral(" line ")
                         + QString::number(step.lnum)
                         + (marked ? QStringLiteral(": page ") + QString::number(mark.FSelBoxPage)
                                   : QStringLiteral(": no mark")));
            }
            break;
        }
        }
    }
    return opened;
}

bool RestoreOpenedAtStart(const TStartupFlags &flags, TRestoreOpened restoreOpened, const QStringList &commandItems)
{
    if (flags.NeverRestore)
        return false;
    return flags.AlwaysRestore || restoreOpened == TRestoreOpened::Always
        || (restoreOpened == TRestoreOpened::EmptyCommandLine && commandItems.isEmpty());
}

void DeferredStart(TQPDF &QPDF, const std::function<void()> &repaint)
{
    QPDF.SetQuickOpen(true);
    if (RestoreOpenedAtStart(App.Switches, Prefer.RestoreOpened, App.CommandItems)) {
        QPDF.RestoreOpenedDocuments();
        if (QPDF.SelDoc() >= 0)
            QPDF.RestoreDoc(QPDF.SelDoc());
    }
    if (!App.CommandItems.isEmpty()) {
        // Cleared first: a command that arrives while this one runs must not run it again.
        const QStringList items = App.CommandItems;
        App.CommandItems.clear();
        ExeCmdLine(QPDF, items);
    }
    QPDF.StopQuickOpen();
    if (repaint)
        repaint();
}
