#pragma once
// The status line: six panels drawn by the program, sized by sample texts, for page, page
// count, zoom, zoom mode, SyncTeX state and a free text.
#include <QColor>
#include <QString>
#include <QWidget>

#include <array>

enum TStatusPanel : int {
    slPanelPage,
    slPanelPages,
    slPanelZoom,
    slPanelZoomMode,
    slPanelSyncTeX,
    slPanelStatus,
    slPanelCount
};

class TStatusLine final : public QWidget {
    Q_OBJECT
public:
    explicit TStatusLine(QWidget *parent = nullptr);

    // Rebuilds the panels and the height for the window's font and the screen density.
    void InitStatusLine(const QFont &font);
    // One panel's text; nothing while the status line is hidden or for an unknown index.
    void SetSLPanel(int index, const QString &text);
    QString PanelText(int index) const;
    // The panel's place in the bar.
    QRect PanelRect(int index) const;
    // The colours of the interface colour table, with border and separator derived from the
    // background; called after a theme change.
    void UpdateColors();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QString, slPanelCount> Texts;
    std::array<int, slPanelCount> Widths{};
    int BarHeight = 0;
    QColor Background; // invalid: the platform's own
    QColor Border, Separator;
    QColor TextColor, GrayText, InfoText;
};
