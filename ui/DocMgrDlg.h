#pragma once
// The document manager: one list with two pages, the documents open now and those opened
// before. From it several recent files open at once, several documents close at once, and
// entries leave the recent list; the recent list changes only when the user confirms.
#include <QDialog>
#include <QList>

#include <cstdint>

class QComboBox;
class QFrame;
class QModelIndex;
class QTreeView;
class QWidget;
class TMainForm;
class TPngSpeedButton;

class TDocMgrDlg final : public QDialog {
public:
    // One row of the list; the settings' recent-list entry is another record.
    struct TDocInfo {
        QString Name; // file name with extension
        QString Path; // folder
        QString Date; // last write, local; empty when the file is missing
        QString FN;   // full file name
        int64_t dateint = 0;
        int _img = -1;
        int _ind = 0; // place in its source list
        bool _exists = false;
    };
    enum TSortKey { skName = 0, skPath = 1, skDate = 2, skIndex = 3 };

    TDocMgrDlg(TMainForm &form, bool recentPage);
    ~TDocMgrDlg() override;

    // Shows the manager on the recent or the opened page; true when closed with OK.
    static bool Execute(TMainForm &form, bool recentPage);

    bool RecentPage() const { return Recent; }
    const QList<TDocInfo> &Rows() const { return Recent ? RDocInfo : ODocInfo; }
    QTreeView *ListView() const { return List; }
    QComboBox *Combo() const { return ComboBox; }
    TPngSpeedButton *Button(const char *name) const;

    void SortBy(TSortKey key, bool inc);
    void SwitchPage(bool recent);
    void OpenSelected();
    void CloseDocuments(const char *which); // "tbClose", "tbCloseAll" or "tbCloseNonExistent"
    void RemoveRows(bool nonExistentOnly);
    void ClearList();
    void UpdateButtons();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class TRowModel;

    void LoadRows();
    TDocInfo RowOf(const QString &fileName, int ind) const;
    void ShowPage();
    void BuildToolStrip();
    void PlaceToolStrip();
    void HeaderClicked(int column);
    void SortButtonClicked();
    QList<int> SelectedRows() const;
    void SelectRows(const QList<QString> &fileNames, const QString &focused);
    void ListSelectionChanged();
    void ComboChosen(int index);
    void WriteBack();
    void ApplyGeometry();
    // The caption and two blanks, at least 4 pixels at 96 per inch.
    int ColumnMinWidth(int column) const;
    bool EnterTakesOk(QKeyEvent *event);

    TMainForm &Form;
    bool Recent;
    QList<TDocInfo> ODocInfo, RDocInfo;
    int SortKey = skIndex, SortOKey = skIndex, SortRKey = skIndex;
    bool SortInc = true, SortOInc = true, SortRInc = true;
    QList<int> ComboRows; // combo row -> list row
    QTreeView *List;
    TRowModel *Model;
    QWidget *Panel1;
    QComboBox *ComboBox;
    QWidget *CoolBar;
    QList<QWidget *> Strip; // the buttons and separators in order
};
