#include "tools/synctex/SyncTeXTool.h"

#include "base/AppState.h"
#include "settings/Prefer.h"

#include <QDir>

#include <algorithm>

namespace {

// Numbers are written the same in every locale.
QString number(double v) { return QString::number(v, 'f', 2); }

bool toInt(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

bool toDouble(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}

} // namespace

QString AbsoluteFileName(const QString &name)
{
    return name.isEmpty() ? name : QDir::cleanPath(QDir::current().absoluteFilePath(name));
}

bool TSyncTeXTool::Fail(const QString &message)
{
    Out << "Error: " << message << '\n';
    return false;
}

bool TSyncTeXTool::Open(const QString &pdfFile)
{
    // Loads run on this thread while the engine believes its event loop runs.
    App.AppRunning = true;
    Prefer.UseThreads = false;
    Prefer.RememberDoc = false;
    Engine = std::make_unique<TQPDF>(72);
    if (Engine->Status() != 1)
        return Fail(QStringLiteral("The PDF library could not be loaded from ")
                    + QDir::toNativeSeparators(App.ExeFolder));
    Engine->SetHost(&Host);
    PdfFile = AbsoluteFileName(pdfFile);
    if (!QFileInfo(PdfFile).isFile())
        return Fail(QStringLiteral("PDF File \"") + PdfFile + QStringLiteral("\" not found."));
    Engine->OpenDocument(PdfFile, false, QString(), 0, TDestType::ForwardSearch);
    if (Engine->SelDoc() < 0 || Engine->Pages().PageCount() <= 0)
        return Fail(QStringLiteral("PDF File \"") + PdfFile + QStringLiteral("\" could not be opened."));
    return true;
}

TFloatRect TSyncTeXTool::TopLeftRect(int page, const TFloatRect &mark)
{
    TPageLayout &view = Engine->Layout();
    view.SetSelectedPage(page);
    TFloatRect r;
    if (view.GetPageOrientation(page) & 1) {
        // The mark of a page turned by a quarter holds the rectangle with its axes swapped.
        r = {mark.Top, mark.Left, mark.Bottom, mark.Right};
    } else {
        view.GetTopLeftCoord(page, mark.Left, mark.Top, r.Left, r.Top);
        view.GetTopLeftCoord(page, mark.Right, mark.Bottom, r.Right, r.Bottom);
    }
    // What shows of the mark: its margin may reach past the page's edges.
    double w = 0, h = 0;
    view.GetPageDimensions(page, true, w, h);
    const auto clamp = [](double v, double hi) { return std::clamp(v, 0.0, std::max(0.0, hi)); };
    return {clamp(std::min(r.Left, r.Right), w), clamp(std::min(r.Top, r.Bottom), h),
            clamp(std::max(r.Left, r.Right), w), clamp(std::max(r.Top, r.Bottom), h)};
}

bool TSyncTeXTool::View(const QString &source, int line)
{
    const std::shared_ptr<TSyncTeX> sync = Engine->SyncTeX();
    sync->ErrMsg = QString();
    Host.lastInfo.clear();
    TForwardMark &mark = Engine->ForwardMark();
    mark.FSelBoxPage = 0;
    mark.SelBoxRects.clear();
    Engine->OpenDocument(PdfFile, false, AbsoluteFileName(source), line, TDestType::ForwardSearch);
    if (mark.SelBoxRects.size() < 2) {
        const QString why = Engine->SyncTeX()->ErrMsg.get();
        return Fail(!why.isEmpty() ? why : !Host.lastInfo.isEmpty() ? Host.lastInfo : QStringLiteral("No answer."));
    }
    const int page = mark.FSelBoxPage;
    const TFloatRectangles marks = mark.SelBoxRects;
    Out << "Page: " << page << '\n';
    for (size_t i = 1; i < marks.size(); ++i) {
        const TFloatRect r = TopLeftRect(page, marks[i]);
        Out << "Box: " << number(r.Left) << ' ' << number(r.Top) << ' ' << number(r.Right) << ' ' << number(r.Bottom)
            << '\n';
    }
    return true;
}

bool TSyncTeXTool::Edit(int page, double x, double y)
{
    const std::shared_ptr<TSyncTeX> sync = Engine->SyncTeX();
    QString inpFile;
    int line = 0;
    if (!sync->InverseSearch(page, x, y, inpFile, line))
        return Fail(sync->ErrMsg.get());
    Out << "Input: " << inpFile << '\n' << "Line: " << line << '\n';
    return true;
}

bool TSyncTeXTool::Inputs()
{
    const std::shared_ptr<TSyncTeX> sync = Engine->SyncTeX();
    if (!sync)
        return Fail(QStringLiteral("No SyncTeX data beside ") + PdfFile);
    const std::vector<TSyncTeX::TInputFile> files = sync->InputFiles();
    if (files.empty()) {
        const QString why = sync->ErrMsg.get();
        return Fail(!why.isEmpty() ? why : QStringLiteral("No SyncTeX data beside ") + PdfFile);
    }
    for (const TSyncTeX::TInputFile &f : files)
        Out << (f.resolved.isEmpty() ? "Missing: " + f.recorded : "Found: " + f.resolved) << '\n';
    return true;
}

bool TSyncTeXTool::Query(const QStringList &f)
{
    int line = 0, page = 0;
    double x = 0, y = 0;
    if (f.size() == 3 && f[0] == QLatin1String("view")) {
        if (!toInt(f[2], line))
            return Fail(QStringLiteral("LINE is not a number: ") + f[2]);
        return View(f[1], line);
    }
    if (f.size() == 4 && f[0] == QLatin1String("edit")) {
        if (!toInt(f[1], page) || !toDouble(f[2], x) || !toDouble(f[3], y))
            return Fail(QStringLiteral("PAGE, X and Y must be numbers: ") + f.mid(1).join(QLatin1Char(' ')));
        return Edit(page, x, y);
    }
    return Fail(QStringLiteral("Unknown query: ") + f.join(QLatin1Char(' ')));
}

void TSyncTeXTool::Batch(QTextStream &in)
{
    QString query;
    while (in.readLineInto(&query)) {
        if (query.endsWith(QLatin1Char('\r')))
            query.chop(1);
        if (query.isEmpty())
            continue;
        Query(query.split(QLatin1Char('\t')));
        Out << '\n';
        Out.flush();
    }
}
