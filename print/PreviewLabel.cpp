#include "print/PreviewLabel.h"

QString PreviewPageLabel(int i, const std::vector<int> &pages, const std::function<QString(int page)> &labelOf)
{
    QString text = QStringLiteral("Page %1 of %2").arg(i).arg(pages.size());
    if (i < 1 || size_t(i) > pages.size())
        return text;
    const int p = pages[size_t(i - 1)];
    const QString number = QString::number(p);
    const QString label = labelOf ? labelOf(p) : number;
    if (i == p) {
        if (label != number)
            text += QStringLiteral(" [%1]").arg(label);
    } else if (label != number) {
        text += QStringLiteral(" (%1: %2)").arg(p).arg(label);
    } else {
        text += QStringLiteral(" (%1)").arg(p);
    }
    return text;
}
