#include "ui/PrintDlg.h"

#include "base/MessageDialog.h"
#include "print/CopiesText.h"
#include "print/PreviewLabel.h"
#include "print/PrintCopy.h"
#include "print/SheetPreview.h"
#include "settings/Prefer.h"
#include "ui/widgets/UpDown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxCopies = 999;

QString PageRangeErrorCaption() { return QStringLiteral("Page Range Error"); }

} // namespace

TPrintDlg::TPrintDlg(TPrinterChoice &printers, const TPrintDocument &document, QWidget *parent)
    : QDialog(parent), printers(printers), document(document)
{
    setWindowTitle(QStringLiteral("Print"));
    CreateControls();
}

bool TPrintDlg::Execute(TPrinterChoice &printers, const TPrintDocument &document,
                        const std::function<void(const std::vector<int> &pages)> &onPrint,
                        const std::function<QString(const QString &suggested)> &chooseOutputFile, QWidget *parent)
{
    TPrintDlg dlg(printers, document, parent);
    dlg.OnPrint = onPrint;
    dlg.ChooseOutputFile = chooseOutputFile;
    return dlg.exec() == QDialog::Accepted;
}

void TPrintDlg::CreateControls()
{
    const double scale = std::max(1.0, logicalDpiY() / 96.0);

    auto *printerBox = new QGroupBox(QStringLiteral("Printer"), this);
    lbPrinters = new QComboBox(printerBox);
    btnSetup = new QPushButton(QStringLiteral("Printer &Setup ..."), printerBox);
    labelCopies = new QLabel(QStringLiteral("Copies #:"), printerBox);
    edCopies = new QLineEdit(printerBox);
    udCopies = new TUpDown(printerBox);
    auto *printerLayout = new QGridLayout(printerBox);
    printerLayout->addWidget(lbPrinters, 0, 0, 1, 4);
    printerLayout->addWidget(btnSetup, 1, 0);
    printerLayout->addWidget(labelCopies, 1, 1, Qt::AlignRight);
    printerLayout->addWidget(edCopies, 1, 2);
    printerLayout->addWidget(udCopies, 1, 3);
    edCopies->setMaximumWidth(int(48 * scale));

    auto *pagesBox = new QGroupBox(QStringLiteral("Pages"), this);
    rbAll = new QRadioButton(QStringLiteral("All"), pagesBox);
    rbCurrent = new QRadioButton(QStringLiteral("Current"), pagesBox);
    rbRange = new QRadioButton(QStringLiteral("Range:"), pagesBox);
    edRange = new QLineEdit(pagesBox);
    cbOddEven = new QComboBox(pagesBox);
    cbOddEven->addItems(
        {QStringLiteral("Odd and Even Pages"), QStringLiteral("Odd Pages only"), QStringLiteral("Even Pages only")});
    rbAll->setChecked(true);
    auto *pagesLayout = new QGridLayout(pagesBox);
    pagesLayout->addWidget(rbAll, 0, 0);
    pagesLayout->addWidget(rbCurrent, 0, 1);
    pagesLayout->addWidget(rbRange, 1, 0);
    pagesLayout->addWidget(edRange, 1, 1);
    pagesLayout->addWidget(cbOddEven, 2, 0, 1, 2);

    auto *orientBox = new QGroupBox(QStringLiteral("Orientation"), this);
    rbPortrait = new QRadioButton(QStringLiteral("Portrait"), orientBox);
    rbLandscape = new QRadioButton(QStringLiteral("Landscape"), orientBox);
    cbAutoOrient = new QCheckBox(QStringLiteral("Auto-orient"), orientBox);
    auto *orientLayout = new QVBoxLayout(orientBox);
    orientLayout->addWidget(rbPortrait);
    orientLayout->addWidget(rbLandscape);
    orientLayout->addWidget(cbAutoOrient);

    auto *zoomBox = new QGroupBox(QStringLiteral("Zoom"), this);
    rbActualSize = new QRadioButton(QStringLiteral("Actuall size"), zoomBox);
    rbFitPages = new QRadioButton(QStringLiteral("Fit pages"), zoomBox);
    rbShrink = new QRadioButton(QStringLiteral("Shrink oversized pages"), zoomBox);
    rbCustom = new QRadioButton(QStringLiteral("Custom Scale %:"), zoomBox);
    edZoom = new QLineEdit(zoomBox);
    edZoom->setMaxLength(7);
    edZoom->setMaximumWidth(int(64 * scale));
    cbCenter = new QCheckBox(QStringLiteral("Center undersized pages"), zoomBox);
    cbOffset = new QCheckBox(QStringLiteral("Apply Margin Offset"), zoomBox);
    auto *zoomGroup = new QButtonGroup(this);
    for (QRadioButton *b : {rbActualSize, rbFitPages, rbShrink, rbCustom})
        zoomGroup->addButton(b);
    auto *zoomLayout = new QGridLayout(zoomBox);
    zoomLayout->addWidget(rbActualSize, 0, 0, 1, 2);
    zoomLayout->addWidget(rbFitPages, 1, 0, 1, 2);
    zoomLayout->addWidget(rbShrink, 2, 0, 1, 2);
    zoomLayout->addWidget(rbCustom, 3, 0);
    zoomLayout->addWidget(edZoom, 3, 1);
    zoomLayout->addWidget(cbCenter, 4, 0, 1, 2);
    zoomLayout->addWidget(cbOffset, 5, 0, 1, 2);

    auto *paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto *paperLayout = new QVBoxLayout(paperBox);
    for (QLabel **label : {&labelDPI, &labelOffset, &labelPaper, &labelPage, &labelZoom}) {
        *label = new QLabel(paperBox);
        paperLayout->addWidget(*label);
    }

    auto *previewBox = new QGroupBox(QStringLiteral("Preview"), this);
    Preview = new QLabel(previewBox);
    Preview->setFixedSize(int(220 * scale), int(280 * scale));
    Preview->setAlignment(Qt::AlignCenter);
    Preview->installEventFilter(this);
    PageTrackBar = new QSlider(Qt::Horizontal, previewBox);
    PageTrackBar->setRange(1, 1);
    labelPreviewPage = new QLabel(previewBox);
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(Preview, 0, Qt::AlignHCenter);
    previewLayout->addWidget(PageTrackBar);
    previewLayout->addWidget(labelPreviewPage);

    btnPrint = new QPushButton(QStringLiteral("&Print"), this);
    btnApply = new QPushButton(QStringLiteral("&Apply"), this);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnPrint->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {btnPrint, btnApply, btnOK, btnCancel})
        buttons->addWidget(b);

    auto *left = new QVBoxLayout;
    left->addWidget(printerBox);
    left->addWidget(pagesBox);
    auto *middle = new QHBoxLayout;
    middle->addWidget(orientBox);
    middle->addWidget(zoomBox);
    left->addLayout(middle);
    left->addWidget(paperBox);
    left->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(previewBox);
    auto *all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addLayout(buttons);

    connect(lbPrinters, &QComboBox::activated, this, [this] { PrinterChanged(); });
    connect(btnSetup, &QPushButton::clicked, this, [this] { SetupClick(); });
    connect(edCopies, &QLineEdit::textChanged, this, [this] { CopiesChanged(); });
    edCopies->installEventFilter(this);
    connect(udCopies, &TUpDown::valueChanged, this, [this](int value) {
        if (!typingCopies)
            edCopies->setText(QString::number(value));
    });
    for (QRadioButton *b : {rbAll, rbCurrent, rbRange})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && wasInit)
                ComputePageList();
        });
    connect(cbOddEven, &QComboBox::activated, this, [this] { ComputePageList(); });
    connect(rbPortrait, &QRadioButton::toggled, this, [this](bool on) {
        if (!wasInit || !printers.current || printers.current->landscape() == !on)
            return;
        printers.current->setLandscape(!on);
        RefreshPrinterControls();
        ComputePreview();
    });
    connect(cbAutoOrient, &QCheckBox::toggled, this, [this](bool on) {
        if (!wasInit)
            return;
        // Later the box only records the setting: the orientation was chosen at open.
        Prefer.PrintAutoOrient = on;
        prePageNo = -1;
        ComputePreview();
    });
    for (QRadioButton *b : {rbActualSize, rbFitPages, rbShrink, rbCustom})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ZoomModeChanged();
        });
    connect(edZoom, &QLineEdit::returnPressed, this, [this] { ComputePreview(); });
    connect(cbCenter, &QCheckBox::toggled, this, [this](bool on) {
        if (!wasInit)
            return;
        Prefer.PrintCenter = on;
        ComputePreview();
    });
    connect(cbOffset, &QCheckBox::toggled, this, [this](bool on) {
        if (!wasInit)
            return;
        Prefer.PrintOffset = on;
        ComputePreview();
    });
    connect(PageTrackBar, &QSlider::valueChanged, this, [this] {
        UpdatePreviewLabel();
        if (wasInit && PreviewPage() != prePageNo)
            ComputePreview();
    });
    connect(btnPrint, &QPushButton::clicked, this, [this] { PrintClick(); });
    connect(btnApply, &QPushButton::clicked, this, [this] {
        if (ComputePageList())
            ComputePreview();
    });
    connect(btnOK, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrintDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!wasInit)
        FormShow();
}

// The set-up on show: the lists and controls from the printer and the settings, then the first
// preview, which may turn the paper to suit the page.
void TPrintDlg::FormShow()
{
    wasInit = false;
    prePageNo = -1;
    pxoffset = pyoffset = 0;
    ComputePageList();
    switch (TPrintZoomMode(std::clamp(Prefer.PrintZoomMode, 0, 3))) {
    case TPrintZoomMode::ActualSize: rbActualSize->setChecked(true); break;
    case TPrintZoomMode::FitPages: rbFitPages->setChecked(true); break;
    case TPrintZoomMode::ShrinkOversized: rbShrink->setChecked(true); break;
    case TPrintZoomMode::CustomScale: rbCustom->setChecked(true); break;
    }
    edZoom->setText(Prefer.PrintZoom);
    edZoom->setEnabled(rbCustom->isChecked());
    cbCenter->setChecked(Prefer.PrintCenter);
    cbOffset->setChecked(Prefer.PrintOffset);
    cbAutoOrient->setChecked(Prefer.PrintAutoOrient);
    lbPrinters->clear();
    lbPrinters->addItems(printers.names);
    if (printers.current)
        lbPrinters->setCurrentIndex(lbPrinters->findText(printers.current->name()));
    rbAll->setChecked(true);
    udCopies->SetRange(1, MaxCopies);
    udCopies->SetValue(printers.current ? printers.current->copies() : 1);
    edCopies->setText(QString::number(udCopies->Value()));
    RefreshPrinterControls();
    wasInit = true;
    LayoutAndDraw(true);
}

void TPrintDlg::RefreshPrinterControls()
{
    const std::shared_ptr<pl::PrinterDevice> &device = printers.current;
    const bool copies = device && device->supportsCopies();
    labelCopies->setVisible(copies);
    edCopies->setVisible(copies);
    udCopies->setVisible(copies);
    rbLandscape->setEnabled(device && device->caps().canLandscape);
    const QSignalBlocker block(rbPortrait);
    (device && device->landscape() ? rbLandscape : rbPortrait)->setChecked(true);
}

void TPrintDlg::PrinterChanged()
{
    if (!printers.Select(lbPrinters->currentText()))
        return;
    printers.current->setCopies(udCopies->Value());
    RefreshPrinterControls();
    prePageNo = -1;
    ComputePreview();
}

void TPrintDlg::SetupClick()
{
    if (!printers.current)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printers.current->fillSetup(printer);
    printer.setCopyCount(udCopies->Value());
    QPrintDialog dlg(&printer, this);
    // The pages are chosen here; Qt's box cannot hide its copies, which come back below.
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dlg.exec() != QDialog::Accepted)
        return;
    printers.Select(pl::setupPrinterName(printer));
    printers.current->takeSetup(printer);
    const QSignalBlocker block(lbPrinters);
    lbPrinters->setCurrentIndex(lbPrinters->findText(printers.current->name()));
    edCopies->setText(QString::number(printer.copyCount()));
    RefreshPrinterControls();
    prePageNo = -1;
    ComputePreview();
}

void TPrintDlg::CopiesChanged()
{
    const int value = CopiesFromText(edCopies->text(), MaxCopies);
    if (value == udCopies->Value())
        return;
    typingCopies = true;
    udCopies->SetValue(value);
    typingCopies = false;
    if (printers.current)
        printers.current->setCopies(value);
}

void TPrintDlg::ZoomModeChanged()
{
    edZoom->setEnabled(rbCustom->isChecked());
    if (!wasInit)
        return;
    Prefer.PrintZoomMode = int(SettingsFromControls().zoomMode);
    ComputePreview();
}

TSheetSettings TPrintDlg::SettingsFromControls() const
{
    TSheetSettings s;
    s.zoomMode = rbActualSize->isChecked() ? TPrintZoomMode::ActualSize
        : rbFitPages->isChecked()          ? TPrintZoomMode::FitPages
        : rbCustom->isChecked()            ? TPrintZoomMode::CustomScale
                                           : TPrintZoomMode::ShrinkOversized;
    s.customZoom = edZoom->text();
    s.center = cbCenter->isChecked();
    s.marginOffset = cbOffset->isChecked();
    return s;
}

bool TPrintDlg::ComputePageList()
{
    const TPageChoice choice = rbCurrent->isChecked() ? TPageChoice::Current
        : rbRange->isChecked()                        ? TPageChoice::Range
                                                      : TPageChoice::All;
    const TPageList list = ::ComputePageList(choice, TOddEven(cbOddEven->currentIndex()), document.pageCount,
                                             document.currentPage, edRange->text());
    if (!list.error.isEmpty()) {
        MessageDialog(PageRangeErrorCaption(), PageRangeErrorText(list.error), mtError, MsgButtons({mbOK}));
        edRange->setFocus();
        edRange->selectAll();
        return false;
    }
    pages = list.pages;
    pnum = int(pages.size());
    cbOddEven->setCurrentIndex(int(list.oddEven));
    cbOddEven->setEnabled(list.oddEvenEnabled);
    if (edRange->text() != list.rangeText)
        edRange->setText(list.rangeText);
    edRange->setEnabled(list.rangeEnabled);
    {
        const QSignalBlocker block(PageTrackBar);
        PageTrackBar->setRange(1, std::max(1, pnum));
        PageTrackBar->setValue(1);
    }
    UpdatePreviewLabel();
    if (wasInit && PreviewPage() != prePageNo)
        ComputePreview();
    if (printers.current)
        printers.current->setCopies(udCopies->Value());
    return true;
}

int TPrintDlg::PreviewPage() const
{
    const int i = PageTrackBar->value();
    return i >= 1 && i <= pnum ? pages[size_t(i - 1)] : 0;
}

void TPrintDlg::UpdatePreviewLabel()
{
    labelPreviewPage->setText(pnum > 0 ? PreviewPageLabel(PageTrackBar->value(), pages, document.labelOf) : QString());
}

bool TPrintDlg::ComputePreview() { return LayoutAndDraw(false); }

bool TPrintDlg::LayoutAndDraw(bool autoOrientStep)
{
    if (!wasInit || !printers.current)
        return true;
    pl::PrinterDevice &device = *printers.current;
    const int page = PreviewPage();
    const bool autoOrient = cbAutoOrient->isChecked();
    const QSizeF size = document.copy && page > 0 ? document.copy->PageSize(page, autoOrient) : QSizeF();
    pl::PrinterCaps caps = device.caps();
    if (autoOrientStep && autoOrient && caps.canLandscape && size.width() > 0 && size.height() > 0
        && ShouldSwitchOrientation(caps, size)) {
        device.setLandscape(!device.landscape());
        caps = device.caps();
        RefreshPrinterControls();
    }
    const TSheetSettings settings = SettingsFromControls();
    layout = LayoutSheet(caps, size, settings);
    bool ok = true;
    if (settings.zoomMode == TPrintZoomMode::CustomScale && !layout.scaleValid) {
        edZoom->setText(QStringLiteral("100"));
        edZoom->setFocus();
        edZoom->selectAll();
        MessageDialog(ZoomErrorCaption(), ZoomErrorText(), mtError, MsgButtons({mbOK}));
        ok = false;
    }
    Prefer.PrintZoom = edZoom->text();
    prePageNo = page;
    pdpi = layout.pdpi;
    pxoffset = layout.xOffset;
    pyoffset = layout.yOffset;
    const TSheetLabels labels = SheetLabels(caps, layout);
    labelDPI->setText(labels.dpi);
    labelOffset->setText(labels.offset);
    labelPaper->setText(labels.paper);
    labelPage->setText(labels.page);
    labelZoom->setText(labels.zoom);

    TPreviewStyle style;
    style.area = Preview->size();
    style.background = palette().color(QPalette::Window);
    style.penWidth = std::max(1, int(logicalDpiY() / 96));
    const double scale = layout.scale;
    previewImage = DrawSheetPreview(
        caps, layout, style, [this, page, autoOrient, scale](QImage &image, QPoint corner, double dpi) {
            if (!document.copy || page <= 0)
                return;
            // The preview is a device of its own resolution: the page's raster needs no scaling.
            const int deviceDpi = std::max(1, int(std::lround(dpi / scale)));
            QPainter painter(&image);
            document.copy->PrintPage(painter, page, corner, dpi, deviceDpi, 0, image.height(), autoOrient);
        });
    Preview->setPixmap(QPixmap::fromImage(previewImage));
    return ok;
}

QString TPrintDlg::AskOutputFile()
{
    QString suggested = SuggestedOutputFile(printers.lastOutputFile, document.fileName);
    while (ChooseOutputFile) {
        const QString name = ChooseOutputFile(suggested);
        if (name.isEmpty())
            return {};
        if (document.isOpen && document.isOpen(name)) {
            MessageDialog(
                QStringLiteral("Print"),
                QStringLiteral("\"%1\" is open in the viewer and cannot be printed into. Choose another file.")
                    .arg(QFileInfo(name).fileName()),
                mtWarning, MsgButtons({mbOK}));
            suggested = name;
            continue;
        }
        return name;
    }
    return {};
}

void TPrintDlg::PrintClick()
{
    if (document.pageCount > 0) {
        if (!ComputePageList() || !ComputePreview())
            return;
        if (printers.current && printers.current->writesFile()) {
            const QString file = AskOutputFile();
            if (file.isEmpty())
                return; // back to the dialog
            printers.current->setOutputFile(file);
            printers.lastOutputFile = file;
        }
        if (OnPrint)
            OnPrint(pages);
    }
    done(QDialog::Accepted);
}

void TPrintDlg::OkClick()
{
    ComputePreview();
    done(QDialog::Accepted);
}

bool TPrintDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Preview && event->type() == QEvent::MouseButtonPress && wasInit)
        ComputePageList();
    else if (watched == edCopies && event->type() == QEvent::FocusOut)
        edCopies->setText(QString::number(udCopies->Value()));
    return QDialog::eventFilter(watched, event);
}
