#pragma once
// The Custom Zoom dialog: a zoom in percent, typed or picked from a list.
#include <QDialog>

class QComboBox;

class TZoomDlg : public QDialog {
    Q_OBJECT
public:
    explicit TZoomDlg(QWidget *parent = nullptr);

    // Opens with its top-left corner at origin and zoom ("125%") in the combo box; typed
    // receives the combo's text. False on Cancel.
    static bool Execute(QWidget *parent, const QPoint &origin, const QString &zoom, QString &typed);

    QComboBox *cbZoom;
};
