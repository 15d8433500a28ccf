#include "engine/NamedDestinations.h"

#include <vector>

QString ListNamedDestinations(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc, int pageCount)
{
    const int count = doc ? int(dll.FPDF_CountNamedDests(doc)) : 0;
    QString text = QStringLiteral("Named Destinations: ") + QString::number(count) + QStringLiteral("\n\n");
    const int width = int(QString::number(pageCount).size());
    for (int j = 0; j < count; ++j) {
        long bytes = 0;
        dll.FPDF_GetNamedDest(doc, j, nullptr, &bytes);
        if (bytes <= 1)
            continue;
        std::vector<char16_t> name(size_t(bytes + 1) / 2);
        FPDF_DEST dest = dll.FPDF_GetNamedDest(doc, j, name.data(), &bytes);
        if (bytes <= 1)
            continue;
        const int index = dest ? dll.FPDFDest_GetDestPageIndex(doc, dest) : -1;
        const QString page = index >= 0 ? QString::number(index + 1) : QStringLiteral("?");
        text += QStringLiteral("Page ") + page.rightJustified(width) + QStringLiteral(" <- ")
            + QString::fromUtf16(name.data(), qsizetype(bytes / 2) - 1) + QLatin1Char('\n');
    }
    return text;
}
