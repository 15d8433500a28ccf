#pragma once
// The "Print" dialog: printer and copies, which pages, orientation, how a page is scaled and
// placed on the paper, and a preview of the sheet with its non-printable margins and any
// overflow marked. "&Print" hands the pages to the print job; the placement settings are
// written as the controls change, since the job reads only them.
#include "print/PageRange.h"
#include "print/PrinterChoice.h"
#include "print/SheetLayout.h"

#include <QDialog>
#include <QImage>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class TPrintCopy;
class TUpDown;

// What the dialog needs of the document.
struct TPrintDocument {
    const TPrintCopy *copy = nullptr; // draws the preview; null draws an empty page
    int pageCount = 0;
    int currentPage = 1; // the page in view
    QString fileName;
    std::function<QString(int page)> labelOf;
    // Whether a file is one of the documents open in the viewer (printing into it is refused).
    std::function<bool(const QString &file)> isOpen;
};

class TPrintDlg final : public QDialog {
    Q_OBJECT
public:
    TPrintDlg(TPrinterChoice &printers, const TPrintDocument &document, QWidget *parent = nullptr);

    // Shows the dialog modally; true when it closed with OK or handed pages to print (then
    // onPrint has received them).
    static bool Execute(TPrinterChoice &printers, const TPrintDocument &document,
                        const std::function<void(const std::vector<int> &pages)> &onPrint,
                        const std::function<QString(const QString &suggested)> &chooseOutputFile, QWidget *parent);

    // "&Print" hands the pages over through this; a file printer asks for the file first.
    std::function<void(const std::vector<int> &pages)> OnPrint;
    std::function<QString(const QString &suggested)> ChooseOutputFile;

    // The computations of the controls: false after a range error or an invalid scale.
    bool ComputePageList();
    bool ComputePreview();
    const std::vector<int> &Pages() const { return pages; }
    const QImage &PreviewImage() const { return previewImage; }
    const TSheetLayout &Layout() const { return layout; }

    QComboBox *lbPrinters = nullptr;
    QPushButton *btnSetup = nullptr;
    QLabel *labelCopies = nullptr;
    QLineEdit *edCopies = nullptr;
    TUpDown *udCopies = nullptr;
    QRadioButton *rbAll = nullptr, *rbCurrent = nullptr, *rbRange = nullptr;
    QLineEdit *edRange = nullptr;
    QComboBox *cbOddEven = nullptr;
    QRadioButton *rbPortrait = nullptr, *rbLandscape = nullptr;
    QCheckBox *cbAutoOrient = nullptr;
    QRadioButton *rbActualSize = nullptr, *rbFitPages = nullptr, *rbShrink = nullptr, *rbCustom = nullptr;
    QLineEdit *edZoom = nullptr;
    QCheckBox *cbCenter = nullptr, *cbOffset = nullptr;
    QLabel *labelDPI = nullptr, *labelOffset = nullptr, *labelPaper = nullptr, *labelPage = nullptr,
           *labelZoom = nullptr;
    QLabel *Preview = nullptr;
    QSlider *PageTrackBar = nullptr;
    QLabel *labelPreviewPage = nullptr;
    QPushButton *btnPrint = nullptr, *btnApply = nullptr, *btnOK = nullptr, *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void FormShow();
    void RefreshPrinterControls();
    void PrinterChanged();
    void SetupClick();
    void PrintClick();
    void OkClick();
    void CopiesChanged();
    void ZoomModeChanged();
    TSheetSettings SettingsFromControls() const;
    QString AskOutputFile();
    int PreviewPage() const;
    void UpdatePreviewLabel();
    bool LayoutAndDraw(bool autoOrientStep);

    TPrinterChoice &printers;
    const TPrintDocument document;
    bool wasInit = false;
    int prePageNo = -1;
    double pdpi = 0;
    int pxoffset = 0, pyoffset = 0;
    int pnum = 0;
    std::vector<int> pages;
    bool typingCopies = false;
    TSheetLayout layout;
    QImage previewImage;
};
