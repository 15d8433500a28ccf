#pragma once
// The caption of a docked panel: its title in the theme's caption colours, a frame while the
// panel holds the focus, a line under it, and a close cross; a click anywhere in the close
// button's square counts as a click on the button.
#include <QColor>
#include <QWidget>

// The ten caption colours; an invalid colour stands for the platform's caption colour.
struct TCaptionColors {
    QColor focusedBk, focusedText, focusedBold;
    QColor unfocusedBk, unfocusedText, unfocusedBold;
    QColor focusedCross, unfocusedCross;
    QColor focusedFrame, unfocusedFrame;
};
TCaptionColors CaptionColors(bool dark);
// The colours every caption draws in; the theme sets them.
extern TCaptionColors PanelCaptionColors;

class TPanelCaption final : public QWidget {
    Q_OBJECT
public:
    explicit TPanelCaption(const QString &caption, QWidget *parent = nullptr);
    void SetCaption(const QString &caption);
    QString Caption() const { return FCaption; }
    // The panel holds the focus; follows the focus of the panel (the parent) by itself.
    bool Focused() const;
    QRect CloseButtonRect() const;
    QSize sizeHint() const override;

signals:
    void CloseClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QFont CaptionFont() const;
    QString FCaption;
    bool PressedClose = false;
};
