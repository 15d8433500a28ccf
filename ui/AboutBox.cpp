#include "ui/AboutBox.h"

#include "base/AppState.h"
#include "settings/Prefer.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
const char kBuildNumber[] = "20260613";
const char kVersion[] = "(v. 1.3)";
const char kNotice[] = "Copyright \u00a9 2008-2025 the OrvalePDF authors";
} // namespace

QString NoticeWithYear(const QString &notice, int year)
{
    QString text = notice;
    const QString digits = QString::number(year);
    qsizetype i = text.indexOf(QLatin1Char('-'));
    if (i < 0)
        return text;
    ++i;
    for (int k = 0; k < digits.size() && i < text.size() && text[i].isDigit(); ++k, ++i)
        text[i] = digits[k];
    return text;
}

QString TAboutBox::BuildLine()
{
    return QStringLiteral("Build: ") + QLatin1String(kBuildNumber) + QStringLiteral("  ") + QLatin1String(kVersion)
        + QStringLiteral(" - 64-bit");
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent), Logo(new QLabel(this))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About OrvalePDF"));
    const int margin = MulDiv(8, CurrentPPI, 96);
    Logo->setFixedSize(MulDiv(96, CurrentPPI, 96) + 2 * margin, MulDiv(96, CurrentPPI, 96) + 2 * margin);

    auto *product = new QLabel(QStringLiteral("OrvalePDF"), this);
    QFont big = product->font();
    big.setBold(true);
    big.setPixelSize(std::max(1, big.pixelSize() > 0 ? big.pixelSize() * 3 / 2 : MulDiv(18, CurrentPPI, 96)));
    product->setFont(big);
    auto *notice = new QLabel(NoticeWithYear(QString::fromUtf8(kNotice), QDate::currentDate().year()), this);
    auto *platform = new QLabel(QStringLiteral("For Linux"), this);
    auto *build = new QLineEdit(BuildLine(), this);
    build->setObjectName(QStringLiteral("BuildLine"));
    build->setReadOnly(true);
    build->setFrame(false);

    auto *text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(notice);
    text->addWidget(platform);
    text->addStretch(1);
    text->addWidget(build);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Logo, 0, 0);
    grid->addLayout(text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    DrawLogo();
    QDialog::showEvent(event);
}

void TAboutBox::DrawLogo()
{
    const QString file = App.ExeFolder + QStringLiteral("/Resources/OrvalePDFSync.png");
    QPixmap area(Logo->size());
    area.fill(palette().color(QPalette::Window));
    const QPixmap picture(file);
    if (!picture.isNull()) {
        const int margin = MulDiv(8, CurrentPPI, 96);
        const QSize inner = Logo->size() - QSize(2 * margin, 2 * margin);
        QPainter p(&area);
        p.drawPixmap(margin, margin, picture.scaled(inner, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    Logo->setPixmap(area);
}
