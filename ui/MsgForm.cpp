#include "ui/MsgForm.h"

#include "app/Placement.h"
#include "base/DebugLog.h"
#include "platform/Beeper.h"
#include "ui/MainForm.h"
#include "ui/WindowPlacement.h"
#include "ui/style/DarkFlag.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

namespace {

struct TButtonKind {
    const char *name;
    const char *caption;
    int result;
};
const TButtonKind kButtons[] = {
    {"Yes", "&Yes", mrYes},
    {"No", "&No", mrNo},
    {"btnOK", "OK", mrOk},
    {"btnCancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},
    {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore},
    {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
    {"Close", "&Close", mrClose},
};

enum class TShape { Triangle, Circle };

struct TTypeLook {
    const char *title;
    TShape shape;
    QRgb shapeColor;
    QString symbol;
    QRgb symbolColor;
    int beep;
};
const TTypeLook &LookOf(TMsgDlgType t)
{
    static const TTypeLook looks[] = {
        {"Warning", TShape::Triangle, 0xF0B001, QStringLiteral("!"), 0x282828, 48},
        {"Error", TShape::Circle, 0xD12B08, QStringLiteral("\u00D7"), 0xF0F0F0, 16},
        {"Information", TShape::Circle, 0x0D8ADB, QStringLiteral("i"), 0xF0F0F0, 64},
        {"Confirm", TShape::Circle, 0x018C84, QStringLiteral("?"), 0xF0F0F0, 32},
        {"", TShape::Circle, 0x818181, QStringLiteral("!"), 0xF0F0F0, 128},
    };
    return looks[t <= mtCustom ? t : mtCustom];
}

// Types that beep when the caller asks for the default sound: warnings and errors.
constexpr unsigned kSoundMask = (1u << mtWarning) | (1u << mtError);

struct TFormColors {
    QColor back, panel, title, text;
};
TFormColors FormColors(bool dark)
{
    if (dark)
        return {QColor(0x101010), QColor(0x383838), QColor(0x8AC1FF), QColor(0xF0F0F0)};
    return {QColor(0xFEFEFE), QColor(0xE8E8E8), QColor(0x033399), QColor(0x202020)};
}

QFont UiFont(int pixels)
{
    // "Segoe UI" is not on Linux systems: the one font the project installs stands in, so
    // that the form measures the same everywhere.
    QFont::insertSubstitution(QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"));
    QFont f(QStringLiteral("Segoe UI"));
    f.setPixelSize(Scaled(pixels));
    return f;
}

void Paint(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

// Design sizes at 96 pixels per inch.
constexpr int kClientWidth = 384, kClientHeight = 108;
constexpr int kImageLeft = 8, kImageTop = 8, kImageSize = 36;
constexpr int kTitleLeft = 52, kTitleTop = 12, kTitleHeight = 28;
constexpr int kBottomHeight = 40, kButtonWidth = 72, kButtonHeight = 25, kButtonTop = 8;
constexpr int kMsgMaxHeight = 420;

} // namespace

TMsgForm::TMsgForm(const TMessageRequest &request, TVariant variant, TMainForm *mainForm)
    : QDialog(mainForm && mainForm->DialogParent()->isVisible() ? mainForm->DialogParent() : nullptr), Request(request),
      Main(mainForm), Variant(variant), DlgType(request.type), LabelTitle(new QLabel(this)), LabelMsg(new QLabel(this)),
      Image(new QLabel(this)), PanelBottom(new QWidget(this)), PanelButtons(new QWidget(PanelBottom)),
      btnOK(new QPushButton(PanelButtons)), btnCancel(new QPushButton(PanelButtons)), TimerStatus(new QTimer(this))
{
    setObjectName(QStringLiteral("MsgForm"));
    setAutoFillBackground(true);
    resize(Scaled(kClientWidth), Scaled(kClientHeight));

    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    LabelTitle->setFont(UiFont(19));
    LabelTitle->setTextFormat(Qt::PlainText);
    LabelTitle->setGeometry(Scaled(kTitleLeft), Scaled(kTitleTop), 1, Scaled(kTitleHeight));
    LabelMsg->setObjectName(QStringLiteral("LabelMsg"));
    LabelMsg->setFont(UiFont(13));
    LabelMsg->setTextFormat(Qt::PlainText);
    LabelMsg->setWordWrap(true);
    LabelMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(Scaled(kImageLeft), Scaled(kImageTop), Scaled(kImageSize), Scaled(kImageSize));
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setAutoFillBackground(true);
    PanelButtons->setObjectName(QStringLiteral("PanelButtons"));
    for (QPushButton *b : {btnOK, btnCancel}) {
        b->setGeometry(0, Scaled(kButtonTop), Scaled(kButtonWidth), Scaled(kButtonHeight));
        b->setAutoDefault(false);
    }
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setText(QStringLiteral("&OK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setText(QStringLiteral("&Cancel"));
    TimerStatus->setTimerType(Qt::PreciseTimer);
    TimerStatus->setSingleShot(true);
    connect(TimerStatus, &QTimer::timeout, this, &TMsgForm::TimerStatusTimer);

    // The title elides at its end, the message shows "&" as it is and "\r\n" as one break.
    LabelTitle->setText(request.title);
    LabelMsg->setText(QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    InitForm();
}

TMsgForm::~TMsgForm() = default;

void TMsgForm::InitForm()
{
    if (!Request.title.isEmpty()) {
        LabelMsg->move(Scaled(12), Image->y() + Image->height() + Scaled(6));
    } else {
        // The message takes the title's place beside the icon.
        LabelMsg->move(LabelTitle->x() + Scaled(4), LabelTitle->y() + Scaled(5));
        LabelTitle->hide();
        LabelTitle->setEnabled(false);
    }
    const int titleWidth = width() - LabelTitle->x() - Scaled(12);
    LabelTitle->resize(titleWidth, LabelTitle->height());
    LabelTitle->setText(LabelTitle->fontMetrics().elidedText(Request.title, Qt::ElideRight, titleWidth));
    const int msgWidth = width() - LabelMsg->x() - Scaled(12);
    LabelMsg->resize(msgWidth, std::min(LabelMsg->heightForWidth(msgWidth), Scaled(kMsgMaxHeight)));
    UpdateDlgButtons(Request.buttons);
    const int h = std::max(height(), Scaled(kBottomHeight) + LabelMsg->y() + LabelMsg->height() + 1 + Scaled(14));
    setFixedSize(width(), h);
    PanelBottom->setGeometry(0, h - Scaled(kBottomHeight), width(), Scaled(kBottomHeight));
    PanelButtons->move(width() - PanelButtons->width(), 0);

    if (Request.position > 0)
        DebugLog(QStringLiteral("Relax ..."));
    if (Variant == TVariant::Task && Request.position < 0)
        return; // the window manager places it
    move(Main ? Main->WindowPlacement().CenterOnMainWindow(width(), height()) : QPoint());
}

int TMsgForm::UpdateDlgButtons(TMsgDlgButtons buttons)
{
    DefButton_ = nullptr;
    int x = 4 + 1;
    btnOK->hide();
    btnOK->setDefault(false);
    btnCancel->hide();
    int count = 0;
    for (int n = mbYes; n <= mbClose; ++n) {
        if (!(buttons & (1u << n)))
            continue;
        ++count;
        const TButtonKind &kind = kButtons[n];
        QPushButton *b = n == mbOK ? btnOK : n == mbCancel ? btnCancel : new QPushButton(PanelButtons);
        b->setObjectName(QLatin1String(kind.name));
        b->setVisible(true);
        b->setEnabled(true);
        b->setAutoDefault(false);
        b->setDefault(n == Request.defaultButton);
        b->setText(QLatin1String(kind.caption));
        b->setGeometry(x, btnOK->y(), btnOK->width(), btnOK->height());
        x += Scaled(6) + b->width();
        const int result = kind.result;
        connect(b, &QPushButton::clicked, this, [this, result] {
            if (result != mrNone)
                done(result);
        });
        if (n == Request.defaultButton) {
            DefButton_ = b;
            b->setFocus();
        }
    }
    PanelButtons->resize(x + 4, Scaled(kBottomHeight));
    SetClientWidth(std::max(width(), PanelButtons->width() + Scaled(16)));
    return count;
}

void TMsgForm::SetClientWidth(int w) { resize(w, height()); }

bool TMsgForm::UpdateDlgType(TMsgDlgType newDlgType, const QString &cCaption)
{
    const bool changed = newDlgType != DlgType;
    DlgType = newDlgType;
    QString title = cCaption;
    if (title.isEmpty())
        title = Variant == TVariant::Task && newDlgType == mtCustom ? QStringLiteral("Information")
                                                                    : QLatin1String(LookOf(newDlgType).title);
    setWindowTitle(title);
    CreateIcon(newDlgType);
    return changed;
}

bool TMsgForm::CreateIcon(TMsgDlgType type)
{
    // The icon font's two layers do not exist on Linux: the filled shape and the symbol are
    // painted in the same colours.
    const TTypeLook &look = LookOf(type);
    const int side = Image->width();
    QPixmap pixmap(side, side);
    pixmap.fill(palette().color(QPalette::Window));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(look.shapeColor));
    const QRectF box(side * 0.1, side * 0.1, side * 0.8, side * 0.8);
    if (look.shape == TShape::Triangle) {
        QPainterPath path;
        path.moveTo(box.center().x(), box.top());
        path.lineTo(box.right(), box.bottom());
        path.lineTo(box.left(), box.bottom());
        path.closeSubpath();
        p.drawPath(path);
    } else {
        p.drawEllipse(box);
    }
    QFont f = UiFont(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(look.symbolColor));
    const QRectF symbolBox = look.shape == TShape::Triangle ? box.adjusted(0, box.height() * 0.2, 0, 0) : box;
    p.drawText(symbolBox, Qt::AlignCenter, look.symbol);
    p.end();
    Image->setPixmap(pixmap);
    return true;
}

void TMsgForm::SoundMsg(TMsgDlgType msg, int msgSound)
{
    const bool beep = Variant == TVariant::Task
        ? msgSound > 0
        : msgSound > 0 || (msgSound == 0 && msg <= 7 && (kSoundMask & (1u << msg)));
    if (beep)
        pl::beeper().beep(LookOf(msg).beep);
}

void TMsgForm::FormShow()
{
    const TFormColors colors = FormColors(DarkFlag());
    Paint(this, QPalette::Window, colors.back);
    Paint(PanelBottom, QPalette::Window, colors.panel);
    Paint(LabelTitle, QPalette::WindowText, colors.title);
    Paint(LabelMsg, QPalette::WindowText, colors.text);
    UpdateDlgType(DlgType, Request.caption);
    // The default button is the active control; the dialog's own first focus would take the
    // first button of the row.
    if (DefButton_)
        DefButton_->setFocus();
    if (Request.timer > 0) {
        TimerStatus->setInterval(Request.timer + 100);
        TimerStatus->start();
    }
    SoundMsg(DlgType, Request.sound);
}

void TMsgForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMsgForm::TimerStatusTimer()
{
    TimerStatus->stop();
    if (DefButton_)
        DefButton_->click();
    else if (Variant == TVariant::Form)
        done(mrCancel);
}

void TMsgForm::reject() { done(mrCancel); }

void TMsgForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    // While the diagnostic log is open the letters switch the look, for inspecting it.
    static const struct {
        Qt::Key key;
        TMsgDlgType type;
    } kLetters[] = {{Qt::Key_W, mtWarning},
                    {Qt::Key_E, mtError},
                    {Qt::Key_I, mtInformation},
                    {Qt::Key_Q, mtConfirmation},
                    {Qt::Key_U, mtCustom}};
    if (DebugLogOpen() && event->modifiers() == Qt::NoModifier) {
        for (const auto &letter : kLetters) {
            if (event->key() == letter.key) {
                if (UpdateDlgType(letter.type, Request.caption))
                    SoundMsg(letter.type, Request.sound);
                return;
            }
        }
        if (event->key() == Qt::Key_T) {
            TMessageRequest task = Request;
            task.type = DlgType;
            task.position = 0;
            task.timer = 0;
            TaskMessageDialog(task, Main);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

int TMsgForm::Execute(const TMessageRequest &request, TMainForm *mainForm, TVariant variant)
{
    TMsgForm form(request, variant, mainForm);
    return form.exec();
}

int TMsgFormSink::ShowMessage(const TMessageRequest &request)
{
    return TMsgForm::Execute(request, MainForm ? MainForm() : nullptr);
}

int TaskMessageDialog(const TMessageRequest &request, TMainForm *mainForm)
{
    return TMsgForm::Execute(request, mainForm, TMsgForm::TVariant::Task);
}
