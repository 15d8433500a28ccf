#pragma once
// The images of the document tabs by name, all of one size.
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class TTabImageList {
public:
    void Add(const QString &name, const QPixmap &image);
    // Position of the named image; -1 when the list has none of that name.
    int IndexOf(const QString &name) const { return int(Names.indexOf(name)); }
    QPixmap Image(int index) const;
    QSize Size() const { return FSize; }
    bool IsEmpty() const { return Names.isEmpty(); }

    // The eight document state images drawn by the program at size x size pixels: a page
    // with a mark in the state's colour. They serve until the image files are installed.
    static TTabImageList DocumentStates(int size);

private:
    QStringList Names;
    std::vector<QPixmap> Images;
    QSize FSize;
};
