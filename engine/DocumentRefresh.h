#pragma once
// The periodic refresh of the open documents: SyncTeX data nobody used for a while is
// dropped, the status line and the tab states follow the files, and the current document is
// reloaded when its file changed on disk.
#include <functional>

class TQPDF;

class TDocumentRefresh {
public:
    explicit TDocumentRefresh(TQPDF &engine) : QPDF(engine) {}

    // The tab strip is shown: every tab's state is refreshed, not only the current one's.
    std::function<bool()> TabsVisible;

    // All steps; nothing while a password prompt of an open is showing.
    void Run();
    void DropIdleSyncTeX();
    // Loads the current document when its file changed, or appeared, and nobody is writing it
    // any more. A version of the file that did not load (still being written, damaged,
    // password cancelled) is not tried again until the file changes once more.
    void ReloadChangedFile();

private:
    TQPDF &QPDF;
    bool Reloading = false;
};
