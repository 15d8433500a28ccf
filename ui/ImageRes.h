#pragma once
// The interface's pictures: one PNG file per image name in Resources/PNGImages beside the
// program (variants for a dark system in its HC folder), replaced or added to by files of the
// same names in the data folder. They are loaded once per screen density into square image
// lists, a large one for the toolbar and a small one for menus, tabs and dialogs; the pan
// cursor comes from Resources/Cursors/Grab.png.
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TPNGImageList {
public:
    explicit TPNGImageList(int size) : FSize(size) {}

    int Size() const { return FSize; }
    int Count() const { return int(Images.size()); }
    // The image name of each index; a variant for a dark system is recorded as "|" + name.
    QStringList ImageFiles;

    // The index of a name, -1 for none or an empty name. With doHC on a dark system the
    // variant is preferred.
    int GetImageIndex(const QString &name, bool doHC = true) const;
    // The image to draw on a dark or light background: the same one.
    int GetAltImageIndex(int ind, bool /*dark*/) const { return ind; }
    // Records the name of the image added last; its index.
    int AddImageName(const QString &name);
    void ClearList();

    // A picture of the list's size (converted and scaled when it differs) added or put in
    // place of index; the index.
    int Add(const QImage &image, const QString &name);
    void Replace(int index, const QImage &image);

    QImage Image(int index) const;
    QPixmap Pixmap(int index) const;
    // The image in the program's own grey, as buttons and menus draw it disabled.
    QImage DisabledImage(int index) const;
    // Normal and disabled pixmaps; a null icon for an index outside the list.
    QIcon Icon(int index) const;
    QIcon Icon(const QString &name) const { return Icon(GetImageIndex(name)); }

private:
    int FSize;
    std::vector<QImage> Images;
    std::vector<QPixmap> Pixmaps; // the same, ready to draw
};

// The side of a list for n pixels at 96 per inch at ppi: scaled, at least 8, then snapped to
// 16, 24, 32 or 48 when within 2, else even.
int ImageListSize(int n, int ppi);
// A 32-bit picture at size x size: colour and alpha scaled apart, smoothly; a smaller picture
// is first enlarged plainly to a whole multiple above its size (EnlargeStep), so that the
// smooth step only ever shrinks.
QImage ResizeImage(const QImage &image, int size);
std::optional<QSize> EnlargeStep(QSize source, int size);
// The disabled grey of an ARGB32 picture, on a dark or light system whose menu colour has
// the luma menuLuma.
QImage GreyedImage(const QImage &image, bool systemDark, int menuLuma);

// Luma (299 R + 587 G + 114 B) / 1000.
int Luma(QColor color);
// The system's button colour (as it was before the program themed itself) is dark.
bool SystemIsDark();

// Frees and loads the lists for the current density; false when the program's image folder
// is missing.
bool LoadImageLists();
void FreeImageLists();
bool ImageListsLoaded();
// 0 (or below) the large list, 1 the small one; the last for an index beyond the set; an
// empty 16-pixel list while none is loaded.
TPNGImageList &ImageListOf(int index);
// Counts the loads, so that widgets holding a list notice a reload.
int ImageListsGeneration();
// The pan cursor, when a Grab.png was found.
std::optional<QCursor> PanCursorImage();
