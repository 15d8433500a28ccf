#include "print/CopiesText.h"

#include <algorithm>

int CopiesFromText(const QString &text, int max)
{
    qint64 value = 0;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            // Saturates: a long run of digits stays above max instead of wrapping.
            value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), qint64(max) + 1);
    return value == 0 ? 1 : int(std::min<qint64>(value, max));
}
