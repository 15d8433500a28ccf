#pragma once
// A flat image button of the toolbar and the lists' windows: one image of an image list by
// name, drawn centred, greyed by the list while disabled, on the program's own hover and
// down colours. A checkable button stays down until clicked again.
#include <QString>
#include <QToolButton>

class TPNGImageList;

class TPngSpeedButton final : public QToolButton {
    Q_OBJECT
public:
    // listIndex: 0 the large list, 1 the small one (see ImageListOf).
    explicit TPngSpeedButton(int listIndex, QWidget *parent = nullptr);

    // The image of that name in the button's list (the dark system's variant first); an
    // empty name or one the list lacks shows none.
    void SetImageName(const QString &name);
    // An index of the button's list, as the list hands them out; the name is kept for reloads.
    void SetImageIndex(int index);
    QString ImageName() const { return FImageName; }
    int ImageIndex() const { return FImageIndex; }
    const TPNGImageList &ImageList() const;
    // After the lists were loaded again: the name looked up in the new list.
    void UpdateImageList();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int ListIndex;
    int Generation = -1;
    QString FImageName;
    int FImageIndex = -1;
};
