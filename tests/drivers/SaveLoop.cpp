// Saves the settings in a loop until it is killed, each save with a different font name
// ("save N"), and prints N after each save. The kill tests stop it at random moments.
#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvale-save-loop DATAFILE\n");
        return 2;
    }
    App.DataFile = QString::fromLocal8Bit(argv[1]);
    App.DataFolder = App.DataFile.left(App.DataFile.lastIndexOf('/'));
    LoadColorDefaults();
    LoadPreferDefaults(Prefer);
    for (int n = 0;; ++n) {
        Prefer.FontName = QStringLiteral("save %1").arg(n);
        Prefer.PageGap = n % 50;
        if (!WriteData())
            return 1;
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}
