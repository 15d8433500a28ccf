#include "ui/FindCommands.h"

#include "engine/QPDF.h"
#include "platform/Clock.h"
#include "settings/Prefer.h"
#include "ui/FindForm.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScopedValueRollback>

namespace {

constexpr int64_t kOptRepeatMs = 333;

} // namespace

TFindCommands::TFindCommands(TMainForm &form, TQPDF *engine) : QObject(&form), Form(form), QPDF(engine)
{
    Dialog = new TFindForm(form);

    PopupMenuSearchOptions = new QMenu(&Form);
    PopupMenuSearchOptions->setObjectName(QStringLiteral("PopupMenuSearchOptions"));
    popupCaseSensitive = PopupMenuSearchOptions->addAction(QStringLiteral("Case Sensitive"));
    popupCaseSensitive->setObjectName(QStringLiteral("popupCaseSensitive"));
    popupCaseSensitive->setCheckable(true);
    popupWholeWordsOnly = PopupMenuSearchOptions->addAction(QStringLiteral("Whole Words Only"));
    popupWholeWordsOnly->setObjectName(QStringLiteral("popupWholeWordsOnly"));
    popupWholeWordsOnly->setCheckable(true);
    PopupMenuSearchOptions->addSeparator();
    popupFindDialog = PopupMenuSearchOptions->addAction(QStringLiteral("Find Dialog..."));
    popupFindDialog->setObjectName(QStringLiteral("popupFindDialog"));

    const auto option = [this](QAction *item, bool &setting) {
        connect(item, &QAction::triggered, this, [this, &setting](bool on) {
            setting = on;
            Dialog->cbCaseSensitive->setChecked(Prefer.FindCaseSensitive);
            Dialog->cbWholeWords->setChecked(Prefer.FindWholeWords);
            OptionsChanged();
        });
    };
    option(popupCaseSensitive, Prefer.FindCaseSensitive);
    option(popupWholeWordsOnly, Prefer.FindWholeWords);
    connect(popupFindDialog, &QAction::triggered, this, [this] { popupFindDialogClick(); });
}

TFindCommands::~TFindCommands() = default;

// ---- The engine's search -------------------------------------------------------------

bool TFindCommands::StartSearch(const QString &s)
{
    // The engine gives the find box the focus, and the box's focus starts a search: once.
    if (Starting || !QPDF || QPDF->SelDoc() < 0)
        return false;
    const QScopedValueRollback starting(Starting, true);
    return QPDF->StartSearch(s);
}

bool TFindCommands::FindNext(const QString &s) { return QPDF && QPDF->SelDoc() >= 0 && QPDF->FindNext(s); }

bool TFindCommands::FindPrevious(const QString &s) { return QPDF && QPDF->SelDoc() >= 0 && QPDF->FindPrevious(s); }

void TFindCommands::SearchChanged(const QString &s)
{
    if (QPDF && QPDF->SelDoc() >= 0) {
        QPDF->DropMatches();
        if (s.isEmpty())
            QPDF->ResetSelection();
    }
    Dialog->SetCaption(0, -1);
    Form.EnableMenu();
}

void TFindCommands::OptionsChanged()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->DropMatches();
    Dialog->SetCaption(0, -1);
}

void TFindCommands::FocusPageView()
{
    Form.activateWindow();
    Form.FocusPageView();
}

// ---- Commands ------------------------------------------------------------------------

void TFindCommands::menuFindClick() { StartSearch(Dialog->GetSearchString()); }

void TFindCommands::menuFindNextClick()
{
    // The dialog's edit holds the string of either input.
    const QString s = Dialog->edFindString->text();
    if (!s.isEmpty())
        FindNext(s);
}

void TFindCommands::menuFindPrevClick()
{
    const QString s = Dialog->GetSearchString();
    if (!s.isEmpty())
        FindPrevious(s);
}

void TFindCommands::menuFindOptClick()
{
    QWidget *button = Form.RunningButton();
    const int64_t now = pl::clock().tickMs();
    if (!button || now - LastOptPress < kOptRepeatMs)
        return;
    LastOptPress = now;
    popupCaseSensitive->setChecked(Prefer.FindCaseSensitive);
    popupWholeWordsOnly->setChecked(Prefer.FindWholeWords);
    if (QAction *find = Form.Command(QStringLiteral("menuFind")))
        popupFindDialog->setIcon(find->icon());
    PopupMenuSearchOptions->exec(button->mapToGlobal(QPoint(0, button->height())));
    LastOptPress = pl::clock().tickMs();
    PopupClosed(button);
}

void TFindCommands::PopupClosed(QWidget *button)
{
    (void)button;
    Prefer.FindCaseSensitive = popupCaseSensitive->isChecked();
    Prefer.FindWholeWords = popupWholeWordsOnly->isChecked();
    QCoreApplication::processEvents();
    if (!Dialog->isVisible() && Form.edFindString->isEnabled() && Form.edFindString->isVisible())
        Form.edFindString->setFocus(Qt::OtherFocusReason);
}

void TFindCommands::popupFindDialogClick()
{
    // Shown first, so that the search reads the dialog's input.
    Dialog->show();
    QCoreApplication::processEvents();
    StartSearch(Dialog->GetSearchString());
}

// ---- The page view's keys ------------------------------------------------------------

bool TFindCommands::PageViewEnter(bool backward)
{
    if (!QPDF || QPDF->SelDoc() < 0)
        return false;
    const QString s = Dialog->GetSearchString();
    if (s.isEmpty() || !(QPDF->FoundStringsShown() || Dialog->isVisible()))
        return false;
    backward ? FindPrevious(s) : FindNext(s);
    return true;
}

bool TFindCommands::EscapeKey()
{
    if (Dialog->isVisible()) {
        Dialog->hide();
        if (QPDF)
            QPDF->SetFoundStringsShown(false);
        return true;
    }
    if (QPDF && QPDF->SelDoc() >= 0 && QPDF->FoundStringsShown()) {
        QPDF->SetFoundStringsShown(false);
        Form.PageView()->viewport()->update();
        return true;
    }
    return false;
}
