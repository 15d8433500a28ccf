#include "ui/DocMgrDlg.h"

#include "app/NaturalCompare.h"
#include "base/BusyIndicator.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "engine/QPDF.h"
#include "settings/DocMgrGeometry.h"
#include "settings/Prefer.h"
#include "ui/DocTabs.h"
#include "ui/ImageRes.h"
#include "ui/MainForm.h"
#include "ui/WindowPlacement.h"
#include "ui/style/DarkFlag.h"
#include "ui/widgets/ItemViewTracking.h"
#include "ui/widgets/PngSpeedButton.h"
#include "ui/widgets/TreeColorDelegate.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QSet>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kRecentCaption = QStringLiteral("Recently Opened Documents");
const QString kOpenedCaption = QStringLiteral("Currently Opened Documents");

int P() { return CurrentPPI; }
int ScaledBy(int n) { return n * P() / 96; }

// 100 ns units since 1601 as local date and time in the locale's short formats.
QString DateText(int64_t fileTime)
{
    if (fileTime <= 0)
        return QStringLiteral("N/A");
    constexpr int64_t kEpochOffset = 116444736000000000LL;
    const QDateTime t = QDateTime::fromMSecsSinceEpoch((fileTime - kEpochOffset) / 10000, Qt::LocalTime);
    const QLocale locale;
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(t.time(), QLocale::ShortFormat);
}

QString NameWithoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

struct TStripItem {
    const char *name; // empty for a separator
    const char *image;
    const char *hint;
    int pages; // 1 recent, 2 opened, 3 both
};
const TStripItem kStrip[] = {
    {"tbBevel0", nullptr, nullptr, 3},
    {"tbRecent", "History", "Recently Opened Documents", 3},
    {"tbOpened", "Files", "Currently Opened Documents", 3},
    {"tbBevel1", nullptr, nullptr, 3},
    {"tbSort", "Sort", "Sort by Index", 3},
    {"tbBevel2", nullptr, nullptr, 3},
    {"tbOpen", "Open", "Open Selected Files", 3},
    {"tbBevel3", nullptr, nullptr, 3},
    {"tbRemoveSelected", "Delete", "Remove Selected Items", 1},
    {"tbRemoveNonExistent", "Recycle", "Remove non-existent Files", 1},
    {"tbClearList", "ClearHistory", "Clear List", 1},
    {"tbClose", "Close", "Close Selected Documents", 2},
    {"tbCloseAll", "CloseAll", "Close All Documents", 2},
    {"tbCloseNonExistent", "Recycle", "Close non-existent Files", 2},
};

} // namespace

// The rows of the shown page, supplied to the list on demand.
class TDocMgrDlg::TRowModel final : public QAbstractTableModel {
public:
    explicit TRowModel(TDocMgrDlg &dlg) : Dlg(dlg) {}
    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : int(Dlg.Rows().size()); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const TDocInfo &row = Dlg.Rows().at(index.row());
        if (role == Qt::DisplayRole)
            return index.column() == 0 ? row.Name : index.column() == 1 ? row.Path : row.Date;
        if (role == Qt::DecorationRole && index.column() == 0 && row._img >= 0)
            return ImageListOf(1).Icon(row._img);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char *const names[] = {"Name", "Path", "Date"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromLatin1(names[section]);
        return {};
    }
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    TDocMgrDlg &Dlg;
};

TDocMgrDlg::TDocMgrDlg(TMainForm &form, bool recentPage)
    : QDialog(form.DialogParent()), Form(form), Recent(recentPage), List(new QTreeView(this)),
      Model(new TRowModel(*this)), Panel1(new QWidget(this)), ComboBox(new QComboBox(Panel1)),
      CoolBar(new QWidget(Panel1))
{
    setObjectName(QStringLiteral("DocMgrDlg"));
    List->setObjectName(QStringLiteral("ListView"));
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setModel(Model);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setItemDelegate(new TTreeColorDelegate(List));
    new TItemViewTracking(List);
    List->header()->setSectionsClickable(true);
    List->header()->setStretchLastSection(false);
    List->installEventFilter(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    ComboBox->setMaxVisibleItems(10);
    ComboBox->installEventFilter(this);
    CoolBar->setObjectName(QStringLiteral("CoolBar"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(List, 1);
    layout->addWidget(Panel1);
    Panel1->setFixedHeight(ScaledBy(24) + 2 * ScaledBy(4));

    if (DarkFlag()) {
        // Black backgrounds and white text for the window, the list and the combo box.
        for (QWidget *w :
             {static_cast<QWidget *>(this), static_cast<QWidget *>(List), static_cast<QWidget *>(ComboBox)}) {
            QPalette p = w->palette();
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
                p.setColor(role, Qt::black);
            for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                p.setColor(role, Qt::white);
            w->setPalette(p);
        }
    }
    BuildToolStrip();
    connect(List->header(), &QHeaderView::sectionClicked, this, &TDocMgrDlg::HeaderClicked);
    // A column dragged narrower than its caption stops there.
    connect(List->header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (width < ColumnMinWidth(column))
            List->header()->resizeSection(column, ColumnMinWidth(column));
    });
    connect(List->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TDocMgrDlg::ListSelectionChanged);
    connect(List->selectionModel(), &QItemSelectionModel::currentChanged, this, &TDocMgrDlg::ListSelectionChanged);
    connect(List, &QTreeView::doubleClicked, this, [this] { OpenSelected(); });
    connect(ComboBox, qOverload<int>(&QComboBox::activated), this, &TDocMgrDlg::ComboChosen);

    List->setColumnWidth(0, ScaledBy(140));
    List->setColumnWidth(1, ScaledBy(250));
    List->setColumnWidth(2, ScaledBy(116));
    resize(ScaledBy(540), ScaledBy(360));
    LoadRows();
    ApplyGeometry();
    ShowPage();
    move(Form.WindowPlacement().CenterOnMainWindow(width(), height()));
}

TDocMgrDlg::~TDocMgrDlg()
{
    // The list goes after this body, and its model reads this dialog's rows.
    List->setModel(nullptr);
    delete Model;
}

bool TDocMgrDlg::Execute(TMainForm &form, bool recentPage)
{
    TDocMgrDlg dlg(form, recentPage);
    return dlg.exec() == QDialog::Accepted;
}

TPngSpeedButton *TDocMgrDlg::Button(const char *name) const
{
    return CoolBar->findChild<TPngSpeedButton *>(QLatin1String(name));
}

TDocMgrDlg::TDocInfo TDocMgrDlg::RowOf(const QString &fileName, int ind) const
{
    TDocInfo r;
    r.FN = fileName;
    r.Name = QFileInfo(fileName).fileName();
    r.Path = FileFolder(fileName);
    r._ind = ind;
    r._exists = !fileName.isEmpty() && FileExists(fileName);
    if (r._exists) {
        r.dateint = FileTime64(fileName);
        r.Date = DateText(r.dateint);
    }
    return r;
}

void TDocMgrDlg::LoadRows()
{
    TQPDF *engine = Form.Engine();
    if (engine)
        engine->UpdateDocList();
    const int open = engine ? engine->DocumentCount() : 0;
    const TPNGImageList &images = ImageListOf(1);
    for (int i = 0; i < open && i < Prefer.DocListCount; ++i) {
        TDocInfo r = RowOf(Prefer.DocList[i].FileName, i);
        // The image the tab shows for the document.
        r._img = images.GetImageIndex(Form.DocTabs()->TabImageName(i));
        ODocInfo << r;
    }
    for (int i = open; i < Prefer.DocListCount; ++i) {
        TDocInfo r = RowOf(Prefer.DocList[i].FileName, i);
        QString image;
        if (!r._exists)
            image = QStringLiteral("DocGone");
        else if (FileLocked(r.FN, false, true))
            image = QStringLiteral("DocLockedMod");
        else if (FileLocked(r.FN, true, false))
            image = QStringLiteral("DocLocked");
        else if (FileExtension(r.FN).compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0) {
            const QString stem = r.Path + QLatin1Char('/') + NameWithoutExtension(r.Name);
            const bool sync =
                FileExists(stem + QStringLiteral(".synctex")) || FileExists(stem + QStringLiteral(".synctex.gz"));
            image = sync ? QStringLiteral("DocSync") : QStringLiteral("DocPdf");
        } else
            image = QStringLiteral("Doc");
        r._img = images.GetImageIndex(image);
        RDocInfo << r;
    }
}

void TDocMgrDlg::BuildToolStrip()
{
    for (const TStripItem &item : kStrip) {
        QWidget *w;
        if (!item.image) {
            auto *bevel = new QFrame(CoolBar);
            bevel->setFrameShape(QFrame::VLine);
            bevel->setFrameShadow(QFrame::Sunken);
            w = bevel;
        } else {
            auto *b = new TPngSpeedButton(1, CoolBar);
            b->SetImageName(QLatin1String(item.image));
            b->setToolTip(QLatin1String(item.hint));
            w = b;
        }
        w->setObjectName(QLatin1String(item.name));
        w->setProperty("pages", item.pages);
        Strip << w;
    }
    Button("tbRecent")->setCheckable(true);
    Button("tbOpened")->setCheckable(true);
    connect(Button("tbRecent"), &QToolButton::clicked, this, [this] { SwitchPage(true); });
    connect(Button("tbOpened"), &QToolButton::clicked, this, [this] { SwitchPage(false); });
    connect(Button("tbSort"), &QToolButton::clicked, this, &TDocMgrDlg::SortButtonClicked);
    connect(Button("tbOpen"), &QToolButton::clicked, this, &TDocMgrDlg::OpenSelected);
    connect(Button("tbRemoveSelected"), &QToolButton::clicked, this, [this] { RemoveRows(false); });
    connect(Button("tbRemoveNonExistent"), &QToolButton::clicked, this, [this] { RemoveRows(true); });
    connect(Button("tbClearList"), &QToolButton::clicked, this, &TDocMgrDlg::ClearList);
    for (const char *name : {"tbClose", "tbCloseAll", "tbCloseNonExistent"})
        connect(Button(name), &QToolButton::clicked, this, [this, name] { CloseDocuments(name); });
}

void TDocMgrDlg::PlaceToolStrip()
{
    // Buttons 24 high at 96 per inch, one pixel wider than high, centred in the strip; a
    // separator takes a quarter of a button's width.
    const int unit = P() / 96;
    const int h = 24 * P() / 96, w = h + unit;
    const int top = (Panel1->height() - h) / 2;
    int x = P() / 24;
    for (QWidget *item : Strip) {
        const bool shown = item->property("pages").toInt() & (Recent ? 1 : 2);
        item->setVisible(shown);
        if (!shown)
            continue;
        if (qobject_cast<TPngSpeedButton *>(item)) {
            item->setGeometry(x, top, w, h);
            x += w + unit;
        } else {
            item->setGeometry(x + w / 8, top, std::max(2, w / 4 - w / 8), h);
            x += w / 4 + unit;
        }
    }
    const int stripWidth = x + w / 2;
    CoolBar->setGeometry(Panel1->width() - stripWidth, 0, stripWidth, Panel1->height());
    const int left = ScaledBy(4);
    const int comboWidth = std::min(Panel1->width() - stripWidth - 2 * left, ScaledBy(240));
    ComboBox->setGeometry(left, (Panel1->height() - ComboBox->sizeHint().height()) / 2, std::max(comboWidth, 0),
                          ComboBox->sizeHint().height());
}

void TDocMgrDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    PlaceToolStrip();
}

void TDocMgrDlg::ShowPage()
{
    setWindowTitle((Recent ? kRecentCaption : kOpenedCaption) + QStringLiteral(" (") + QString::number(Rows().size())
                   + QStringLiteral(" files)"));
    Model->Reset();
    // The combo box lists the names in natural order.
    ComboRows.clear();
    for (int i = 0; i < Rows().size(); ++i)
        ComboRows << i;
    std::stable_sort(ComboRows.begin(), ComboRows.end(),
                     [this](int a, int b) { return NaturalCompare(Rows()[a].Name, Rows()[b].Name) < 0; });
    ComboBox->clear();
    for (int row : ComboRows)
        ComboBox->addItem(Rows()[row].Name);
    ComboBox->setCurrentIndex(-1);
    Button("tbRecent")->setChecked(Recent);
    Button("tbOpened")->setChecked(!Recent);
    PlaceToolStrip();
    List->setFocus();
    UpdateButtons();
}

void TDocMgrDlg::UpdateButtons()
{
    const bool selected = List->selectionModel()->hasSelection();
    const bool rows = !Rows().isEmpty();
    const bool missing = std::any_of(Rows().begin(), Rows().end(), [](const TDocInfo &r) { return !r._exists; });
    Button("tbSort")->setEnabled(Rows().size() > 1);
    Button("tbSort")->SetImageName(SortKey == skIndex && SortInc ? QStringLiteral("SortInv") : QStringLiteral("Sort"));
    for (const char *name : {"tbOpen", "tbClose", "tbRemoveSelected"})
        Button(name)->setEnabled(selected);
    Button("tbCloseAll")->setEnabled(rows);
    Button("tbClearList")->setEnabled(rows);
    Button("tbRemoveNonExistent")->setEnabled(missing);
    Button("tbCloseNonExistent")->setEnabled(missing);
}

QList<int> TDocMgrDlg::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : List->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TDocMgrDlg::SelectRows(const QList<QString> &fileNames, const QString &focused)
{
    const QSet<QString> wanted(fileNames.begin(), fileNames.end());
    QItemSelection selection;
    QModelIndex current;
    for (int i = 0; i < Rows().size(); ++i) {
        const QModelIndex index = Model->index(i, 0);
        if (wanted.contains(Rows()[i].FN))
            selection.select(index, Model->index(i, 2));
        if (Rows()[i].FN == focused)
            current = index;
    }
    if (current.isValid())
        List->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    List->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current.isValid())
        List->scrollTo(current);
}

void TDocMgrDlg::SortBy(TSortKey key, bool inc)
{
    SortKey = key;
    SortInc = inc;
    QList<QString> selected;
    for (int row : SelectedRows())
        selected << Rows()[row].FN;
    const QModelIndex cur = List->currentIndex();
    const QString focused = cur.isValid() ? Rows()[cur.row()].FN : QString();

    const auto byNameThenFile = [](const TDocInfo &a, const TDocInfo &b) {
        if (const int c = NaturalCompare(a.Name, b.Name))
            return c;
        return NaturalCompare(a.FN, b.FN);
    };
    const auto compare = [&](const TDocInfo &a, const TDocInfo &b) -> int {
        int c = 0;
        switch (key) {
        case skName:
            c = NaturalCompare(NameWithoutExtension(a.Name), NameWithoutExtension(b.Name));
            if (!c)
                c = byNameThenFile(a, b);
            return inc ? c : -c;
        case skPath:
            c = NaturalCompare(a.Path, b.Path);
            if (!c)
                c = NaturalCompare(a.FN, b.FN);
            return inc ? c : -c;
        case skDate:
            if (a.dateint != b.dateint)
                return (a.dateint > b.dateint) == inc ? -1 : 1; // newest first while ascending
            return byNameThenFile(a, b);
        case skIndex:
            if (a._ind != b._ind)
                return (a._ind < b._ind) == inc ? -1 : 1;
            return byNameThenFile(a, b);
        }
        return 0;
    };
    QList<TDocInfo> &rows = Recent ? RDocInfo : ODocInfo;
    std::stable_sort(rows.begin(), rows.end(), [&](const TDocInfo &a, const TDocInfo &b) { return compare(a, b) < 0; });
    ShowPage();
    SelectRows(selected, focused);
    UpdateButtons();
}

void TDocMgrDlg::HeaderClicked(int column)
{
    if (column == SortKey)
        SortBy(TSortKey(SortKey), !SortInc);
    else
        SortBy(TSortKey(column), true);
}

void TDocMgrDlg::SortButtonClicked()
{
    const bool ascending = std::is_sorted(Rows().begin(), Rows().end(),
                                          [](const TDocInfo &a, const TDocInfo &b) { return a._ind < b._ind; });
    SortBy(skIndex, !ascending);
}

void TDocMgrDlg::SwitchPage(bool recent)
{
    if (recent == Recent) {
        ShowPage();
        return;
    }
    (Recent ? SortRKey : SortOKey) = SortKey;
    (Recent ? SortRInc : SortOInc) = SortInc;
    Recent = recent;
    SortKey = Recent ? SortRKey : SortOKey;
    SortInc = Recent ? SortRInc : SortOInc;
    ShowPage();
}

void TDocMgrDlg::OpenSelected()
{
    const QList<int> selected = SelectedRows();
    if (selected.size() >= 100) {
        MessageDialog(QStringLiteral("Open aborted..."), QStringLiteral("Too many selected files!"), mtWarning,
                      MsgButtons({mbOK}));
        return;
    }
    TQPDF *engine = Form.Engine();
    if (selected.isEmpty() || !engine)
        return;
    QList<QString> names;
    for (int row : selected)
        names << Rows()[row].FN;
    engine->SetQuickOpen(true);
    bool moved = false;
    for (const QString &fn : names) {
        if (EscapePressed())
            continue;
        engine->OpenDocument(fn, false, QString(), 0, TDestType::ForwardSearch);
        if (!Recent)
            continue;
        const auto it = std::find_if(RDocInfo.begin(), RDocInfo.end(), [&](const TDocInfo &r) { return r.FN == fn; });
        if (it != RDocInfo.end()) {
            ODocInfo << *it;
            RDocInfo.erase(it);
            moved = true;
        }
    }
    engine->SetQuickOpen(false);
    if (moved)
        ShowPage();
    SelectRows(names, QString());
    UpdateButtons();
}

void TDocMgrDlg::CloseDocuments(const char *which)
{
    TQPDF *engine = Form.Engine();
    if (Recent || !engine)
        return;
    const QString kind = QLatin1String(which);
    const QList<int> selected = SelectedRows();
    QList<QString> keep;
    for (int row : selected)
        keep << Rows()[row].FN;
    const bool quick = kind != QLatin1String("tbClose") || !selected.isEmpty();
    if (quick)
        engine->SetQuickClose(true);
    bool removed = false;
    for (int i = int(ODocInfo.size()) - 1; i >= 0; --i) {
        const TDocInfo row = ODocInfo[i];
        const bool take = kind == QLatin1String("tbCloseAll")
            || (kind == QLatin1String("tbCloseNonExistent") && !row._exists)
            || (kind == QLatin1String("tbClose") && selected.contains(i));
        if (!take || EscapePressed())
            continue;
        engine->CloseFile(row.FN, -1);
        ODocInfo.removeAt(i);
        RDocInfo.prepend(row);
        removed = true;
    }
    if (quick)
        engine->SetQuickClose(false);
    if (removed)
        ShowPage();
    SelectRows(keep, QString());
    UpdateButtons();
}

void TDocMgrDlg::RemoveRows(bool nonExistentOnly)
{
    if (!Recent)
        return;
    const QList<int> selected = SelectedRows();
    const qsizetype before = RDocInfo.size();
    for (int i = int(RDocInfo.size()) - 1; i >= 0; --i)
        if (nonExistentOnly ? !RDocInfo[i]._exists : selected.contains(i))
            RDocInfo.removeAt(i);
    if (RDocInfo.size() != before)
        ShowPage();
    UpdateButtons();
}

void TDocMgrDlg::ClearList()
{
    if (!Recent)
        return;
    RDocInfo.clear();
    ShowPage();
}

void TDocMgrDlg::ListSelectionChanged()
{
    const QModelIndex cur = List->currentIndex();
    if (cur.isValid() && List->selectionModel()->isRowSelected(cur.row(), QModelIndex())) {
        const int comboRow = int(ComboRows.indexOf(cur.row()));
        ComboBox->setCurrentIndex(comboRow);
    }
    UpdateButtons();
}

void TDocMgrDlg::ComboChosen(int index)
{
    if (index < 0 || index >= ComboRows.size())
        return;
    const int row = ComboRows[index];
    List->selectionModel()->setCurrentIndex(Model->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    List->scrollTo(Model->index(row, 0));
    UpdateButtons();
}

void TDocMgrDlg::WriteBack()
{
    TQPDF *engine = Form.Engine();
    if (!engine)
        return;
    engine->UpdateDocList();
    const QList<::TDocInfo> stored = Prefer.DocList.mid(0, Prefer.DocListCount);
    QList<TDocInfo> rows = RDocInfo;
    std::stable_sort(rows.begin(), rows.end(), [](const TDocInfo &a, const TDocInfo &b) { return a._ind < b._ind; });
    for (int i = 0; i < rows.size(); ++i) {
        const auto it =
            std::find_if(stored.begin(), stored.end(), [&](const ::TDocInfo &e) { return e.FileName == rows[i].FN; });
        if (it != stored.end())
            Prefer.DocList[i] = *it;
    }
    Prefer.DocListCount = int32_t(rows.size());
    engine->UpdateDocList();
}

bool TDocMgrDlg::EnterTakesOk(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    accept();
    return true;
}

void TDocMgrDlg::done(int result)
{
    if (result == QDialog::Accepted) {
        hide();
        OpenSelected();
        WriteBack();
    }
    if (result == QDialog::Accepted) {
        DocMgrGeometry.PixelsPerInch = P();
        DocMgrGeometry.Width = width();
        DocMgrGeometry.Height = height();
        for (int c = 0; c < 3; ++c)
            DocMgrGeometry.ColumnWidth[c] = List->columnWidth(c);
    }
    QDialog::done(result);
}

void TDocMgrDlg::ApplyGeometry()
{
    setMinimumSize(ScaledBy(420), ScaledBy(300));
    const TDocMgrGeometry &g = DocMgrGeometry;
    if (g.PixelsPerInch > 0) {
        const auto scale = [&g](int n) { return int(std::lround(double(n) * P() / g.PixelsPerInch)); };
        resize(scale(g.Width), scale(g.Height));
        for (int c = 0; c < 3; ++c)
            List->setColumnWidth(c, scale(g.ColumnWidth[c]));
    }
    for (int c = 0; c < 3; ++c)
        List->setColumnWidth(c, std::max(List->columnWidth(c), ColumnMinWidth(c)));
}

int TDocMgrDlg::ColumnMinWidth(int column) const
{
    const QString caption = Model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return std::max(List->header()->fontMetrics().horizontalAdvance(caption + QStringLiteral("  ")), ScaledBy(4));
}

void TDocMgrDlg::keyPressEvent(QKeyEvent *event)
{
    if (EnterTakesOk(event))
        return;
    if (event->key() == Qt::Key_Tab && event->modifiers() & Qt::ControlModifier) {
        SwitchPage(!Recent);
        return;
    }
    QDialog::keyPressEvent(event);
    UpdateButtons();
}

bool TDocMgrDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() & Qt::ControlModifier) {
            SwitchPage(!Recent);
            return true;
        }
        if (EnterTakesOk(key))
            return true;
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (watched == List && key->key() == Qt::Key_Backspace) {
            List->selectionModel()->clear();
            ComboBox->setCurrentIndex(-1);
            UpdateButtons();
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease)
        UpdateButtons();
    return QDialog::eventFilter(watched, event);
}
