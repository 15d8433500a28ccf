// The document properties dialog over the main window and a real engine: the report it shows,
// its menu, and how it closes.
#include "settings/PreferStore.h"
#include "ui/MainForm.h"
#include "ui/PDFDocDlg.h"
#include "ui/PasswordDlg.h"
#include "ui/WindowPlacement.h"

#include "MainFormFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

struct PDFDocDlgTest : MainFormFixture {
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 500, 650};
        App.DataFile = dir.filePath("OrvalePDF.dat");
        App.DataFolder = dir.path();
        createForm([] { return WriteData(); });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void open(const QString &file)
    {
        ASSERT_TRUE(engine->LoadFile(file)) << file.toStdString();
        form->EnableMenu();
    }
    // Ctrl+F3 in the main window; act runs on the dialog while it is shown, and the dialog
    // is closed afterwards unless act closed it. False when no dialog came up.
    bool WithDialog(const std::function<void(TPDFDocDlg &)> &act)
    {
        // A closed popup may leave no window active.
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TPDFDocDlg *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            shown = true;
            act(*dlg);
            if (dlg->isVisible())
                dlg->reject();
        });
        QTest::keyClick(form.get(), Qt::Key_F3, Qt::ControlModifier);
        return shown;
    }
    // The popup's action by its text, the menu shown as the button shows it.
    static QAction *Popup(TPDFDocDlg &dlg, const QString &text)
    {
        dlg.MenuButton->click();
        EXPECT_TRUE(dlg.PopupMenuPDFDoc->isVisible());
        for (QAction *a : dlg.PopupMenuPDFDoc->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
};

} // namespace

TEST_F(PDFDocDlgTest, CtrlF3ShowsTheReportToCopy)
{
    open(copy("pdfium/text.pdf", "text.pdf"));
    const QString expected = engine->DocumentReport(false);
    ASSERT_TRUE(expected.contains("PDF Version:  1.6  (tagged)"));
    ASSERT_TRUE(WithDialog([&](TPDFDocDlg &dlg) {
        EXPECT_EQ(dlg.windowTitle(), "PDF Document Properties");
        EXPECT_EQ(dlg.Memo->toPlainText(), expected);
        EXPECT_TRUE(dlg.Memo->isReadOnly());
        EXPECT_EQ(dlg.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(dlg.Memo->textCursor().position(), 0);
        EXPECT_TRUE(dlg.Memo->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        EXPECT_EQ(dlg.MenuButton->text(), QString(QChar(0x2630)));
        EXPECT_EQ(dlg.MenuButton->toolTip(), "Context Popup Menu");
        const QPoint origin = form->WindowPlacement().CenterOnMainWindow(dlg.width(), dlg.height());
        EXPECT_EQ(dlg.pos(), origin);
    }));
}

TEST_F(PDFDocDlgTest, ShowNamedDestinationsAddsTheListingAndIsKept)
{
    open(copy("pdfium/text.pdf", "text.pdf"));
    Prefer.DocDlgDestinations = false;
    ASSERT_TRUE(WithDialog([&](TPDFDocDlg &dlg) {
        EXPECT_FALSE(dlg.Memo->toPlainText().contains("Named Destinations: 13\n"));
        QAction *show = Popup(dlg, "Show Named Destinations");
        ASSERT_NE(show, nullptr);
        EXPECT_FALSE(show->isChecked());
        EXPECT_TRUE(show->isCheckable());
        show->trigger();
        EXPECT_TRUE(Prefer.DocDlgDestinations);
        EXPECT_TRUE(dlg.Memo->toPlainText().contains("\n" + QString(65, '=') + "\n\nNamed Destinations: 13\n\n"));
        EXPECT_EQ(dlg.Memo->textCursor().position(), 0);
        EXPECT_TRUE(Popup(dlg, "Show Named Destinations")->isChecked());
        dlg.PopupMenuPDFDoc->close();
    }));
    // The next dialog lists them from the start.
    ASSERT_TRUE(WithDialog(
        [&](TPDFDocDlg &dlg) { EXPECT_TRUE(dlg.Memo->toPlainText().contains("Named Destinations: 13\n")); }));
}

TEST_F(PDFDocDlgTest, ForgetPasswordLeavesNoneInTheRecentList)
{
    Prefer.RememberDoc = true;
    const QString path = copy("pdfium/enc-r4.pdf", "enc.pdf");
    // The main window asks for the password: the user types it and has it remembered.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&poll] {
        if (auto *ask = qobject_cast<TPasswordDlg *>(QApplication::activeModalWidget())) {
            poll.stop();
            ask->edPwd->setText("user");
            ask->cbSavePwd->setChecked(true);
            ask->accept();
        }
    });
    poll.start(10);
    open(path);
    ASSERT_FALSE(poll.isActive());
    ASSERT_EQ(current().FilePwd, "user");
    ASSERT_TRUE(WithDialog([&](TPDFDocDlg &dlg) {
        EXPECT_TRUE(dlg.Memo->toPlainText().contains("Security: Restricted Permissions\n"));
        QAction *forget = Popup(dlg, "Forget Password");
        ASSERT_NE(forget, nullptr);
        EXPECT_TRUE(forget->isEnabled());
        forget->trigger();
        EXPECT_FALSE(Popup(dlg, "Forget Password")->isEnabled());
        dlg.PopupMenuPDFDoc->close();
    }));
    EXPECT_EQ(current().FilePwd, "");
    form->close();
    ASSERT_GE(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, path);
    EXPECT_EQ(Prefer.DocList[0].FilePwd, "");
}

TEST_F(PDFDocDlgTest, EscAndEnterClose)
{
    open(copy("pdfium/text.pdf", "text.pdf"));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        int result = -1;
        ASSERT_TRUE(WithDialog([&](TPDFDocDlg &dlg) {
            QTest::keyClick(dlg.Memo, key);
            EXPECT_FALSE(dlg.isVisible()) << key;
            result = dlg.result();
        }));
        EXPECT_EQ(result, key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted) << key;
    }
}

TEST_F(PDFDocDlgTest, WithoutADocumentOnlyANote)
{
    TPDFDocDlg dlg(engine.get(), form.get());
    EXPECT_EQ(dlg.Memo->toPlainText(), "No document is currently selected ...");
}

TEST_F(PDFDocDlgTest, DarkThemeMemoColours)
{
    Prefer.ThemeModeIndex = 1;
    TPDFDocDlg dark(engine.get(), form.get());
    EXPECT_EQ(dark.Memo->palette().color(QPalette::Base), QColor("#202020"));
    EXPECT_EQ(dark.Memo->palette().color(QPalette::Text), QColor("#F0F0F0"));
    Prefer.ThemeModeIndex = 2;
    TPDFDocDlg light(engine.get(), form.get());
    EXPECT_NE(light.Memo->palette().color(QPalette::Base), QColor("#202020"));
}
