// The settings reader on a data file of any bytes, with a valid trailer or without one. It must
// end with usable settings and write nothing.
#include "FuzzInput.h"

#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/DataFile.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput in(data, size);
    const bool sealed = in.Byte() & 1;
    const QString folder = FuzzFolder().path();
    App.DataFolder = folder;
    App.DataFile = folder + QStringLiteral("/OrvalePDF.dat");
    QByteArray bytes = in.Rest();
    if (sealed) {
        // Past the trailer check, so the reader itself sees the content.
        TDataFile df;
        df.Rewrite(0, 0);
        df.WrStr(QString::fromUtf8(bytes));
        df.WriteTrailer();
        bytes = df.Text().toUtf8();
    }
    {
        QFile f(App.DataFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }
    LoadColorDefaults();
    LoadPreferDefaults(Prefer);
    ReadData();
    const QStringList files = QDir(folder).entryList(QDir::Files);
    FUZZ_CHECK(files == QStringList{QStringLiteral("OrvalePDF.dat")});
    return 0;
}
