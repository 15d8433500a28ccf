// The Goto Page, Custom Zoom and password dialogs as the engine uses them: what they show,
// and what Enter, OK and Cancel hand back.
#include "EngineFixture.h"

#include "ui/CustomZoomDlg.h"
#include "ui/GotoPageDlg.h"
#include "ui/PasswordDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace {

// Runs act on the modal dialog of type D as soon as it is shown.
template <typename D>
void WhenShown(std::function<void(D &)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dlg = qobject_cast<D *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr) << "no dialog is shown";
        act(*dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
}

// Enter in the focused control: the dialog's default button, as a user would press it.
void PressEnter(QWidget &w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w.focusWidget() ? w.focusWidget() : &w, &press);
}

// The windows as the main window answers the engine: through the real dialogs.
class DialogHost : public DocumentHost {
public:
    bool AskPassword(const QString &fileName, QString &password, bool &remember) override
    {
        ++passwordPrompts;
        return TPasswordDlg::Execute(nullptr, fileName, password, remember);
    }
    bool AskGotoPage(const QString &label, const QString &pages, QString &typed) override
    {
        return TGotoPageDlg::Execute(nullptr, QPoint(40, 30), label, pages, typed);
    }
    bool AskZoom(const QString &zoom, QString &typed) override
    {
        return TZoomDlg::Execute(nullptr, QPoint(40, 30), zoom, typed);
    }
};

struct Dialogs : EngineFixture {
    DialogHost dialogs;
    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetHost(&dialogs);
        Prefer.ZoomAuto = false;
        Prefer.ZoomMode = zCustom;
        Prefer.Zoom = 100;
    }
};

} // namespace

TEST_F(Dialogs, GotoPageShowsThePageInViewAndGoesWhereTheUserTyped)
{
    ASSERT_TRUE(engine->OpenDocument(copy("multi/multi.pdf", "x.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().GOTOPage(4, nullptr);
    WhenShown<TGotoPageDlg>([](TGotoPageDlg &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Goto Page");
        EXPECT_EQ(dlg.edPageGoto->text(), "2");
        EXPECT_EQ(dlg.edPages->text(), "(4 / 7)");
        EXPECT_TRUE(dlg.edPages->isReadOnly());
        EXPECT_EQ(dlg.edPageGoto->maxLength(), 5);
        EXPECT_TRUE(dlg.edPageGoto->alignment() & Qt::AlignHCenter);
        EXPECT_EQ(dlg.focusWidget(), dlg.edPageGoto);
        EXPECT_EQ(dlg.pos(), QPoint(40, 30));
        const QList<QLabel *> labels = dlg.findChildren<QLabel *>();
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0]->text(), "Page:");
        dlg.edPageGoto->setText(" 3");
        PressEnter(dlg);
    });
    EXPECT_TRUE(engine->Navigator().ShowGotoPageDlg());
    EXPECT_EQ(page(), 3) << "a leading space makes it a page number";

    WhenShown<TGotoPageDlg>([](TGotoPageDlg &dlg) {
        dlg.edPageGoto->setText("5");
        dlg.reject();
    });
    EXPECT_FALSE(engine->Navigator().ShowGotoPageDlg());
    EXPECT_EQ(page(), 3) << "Cancel stays";
}

TEST_F(Dialogs, CustomZoomOffersTheListAndAppliesTheTypedZoom)
{
    ASSERT_TRUE(engine->OpenDocument(copy("multi/multi.pdf", "x.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().ZoomCustom(133.7, nullptr);
    WhenShown<TZoomDlg>([](TZoomDlg &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Custom Zoom");
        EXPECT_EQ(dlg.cbZoom->currentText(), "133%");
        QStringList items;
        for (int i = 0; i < dlg.cbZoom->count(); ++i)
            items << dlg.cbZoom->itemText(i);
        EXPECT_EQ(items,
                  QStringList({"10%", "25%", "50%", "100%", "200%", "300%", "400%", "500%", "600%", "800%", "1000%",
                               "1200%", "1600%", "2000%"}));
        EXPECT_EQ(dlg.cbZoom->maxVisibleItems(), 14);
        EXPECT_EQ(dlg.cbZoom->lineEdit()->maxLength(), 5);
        EXPECT_TRUE(dlg.focusWidget() == dlg.cbZoom || dlg.focusWidget() == dlg.cbZoom->lineEdit());
        EXPECT_EQ(dlg.findChild<QLabel *>()->text(), "Document Zoom:");
        dlg.cbZoom->setCurrentIndex(4);
        PressEnter(dlg);
    });
    EXPECT_TRUE(engine->Navigator().ShowZoomDlg());
    EXPECT_EQ(engine->Layout().FZoom, 200);

    WhenShown<TZoomDlg>([](TZoomDlg &dlg) {
        dlg.cbZoom->setEditText("4%");
        PressEnter(dlg);
    });
    EXPECT_FALSE(engine->Navigator().ShowZoomDlg()) << "below 5 %";
    EXPECT_EQ(engine->Layout().FZoom, 200);

    engine->CloseFile(QString(), -1);
    WhenShown<TZoomDlg>([](TZoomDlg &dlg) { EXPECT_EQ(dlg.cbZoom->currentText(), "%"); });
    EXPECT_FALSE(engine->Navigator().ShowZoomDlg());
}

// A protected document: the dialog names the file, masks the password and offers to remember
// it; a wrong password asks again with the last one typed; Cancel leaves the document unloaded.
TEST_F(Dialogs, ThePasswordDialogOpensAProtectedDocument)
{
    const QString path = copy("multi/multi-locked.pdf", "locked.pdf");
    WhenShown<TPasswordDlg>([&](TPasswordDlg &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Enter password");
        EXPECT_EQ(dlg.LabelTop->text(), "File:  locked.pdf");
        EXPECT_EQ(dlg.edPwd->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dlg.edPwd->text(), "");
        EXPECT_EQ(dlg.cbSavePwd->text(), "&Remember the password for this document");
        EXPECT_FALSE(dlg.cbSavePwd->isChecked());
        EXPECT_EQ(dlg.focusWidget(), dlg.edPwd);
        dlg.edPwd->setText("wrong");
        dlg.cbSavePwd->setChecked(true);
        PressEnter(dlg);
        // The second prompt starts from the first answer.
        WhenShown<TPasswordDlg>([](TPasswordDlg &again) {
            EXPECT_EQ(again.edPwd->text(), "wrong");
            EXPECT_TRUE(again.cbSavePwd->isChecked());
            again.edPwd->setText("user");
            PressEnter(again);
        });
    });
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(dialogs.passwordPrompts, 2);
    EXPECT_EQ(pageCount(), 7);
    EXPECT_EQ(engine->Document(0).FilePwd, "user");

    engine->CloseAllFiles(-1);
    dialogs.passwordPrompts = 0;
    WhenShown<TPasswordDlg>([](TPasswordDlg &dlg) { dlg.reject(); });
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(dialogs.passwordPrompts, 1);
    EXPECT_EQ(pageCount(), 0);
    EXPECT_TRUE(engine->Document(0).Error);
}
