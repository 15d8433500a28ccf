#include "engine/DocumentSaver.h"

#include "base/DebugLog.h"
#include "base/DurableWrite.h"
#include "base/FileUtils.h"
#include "engine/DPLPDFiumDLL.h"
#include "engine/DocumentList.h"
#include "engine/DocumentView.h"
#include "engine/HostLink.h"
#include "engine/RecentDocuments.h"

#include "platform/Files.h"

#include <algorithm>

QByteArray TDocumentSaver::GetDocAsString(int Doc)
{
    if (Doc < 0 || Doc >= Docs.nDocuments || !Docs.Documents[size_t(Doc)].PDFiumDoc)
        return QByteArray();
    struct TWriter : FPDF_FILEWRITE {
        QByteArray bytes;
        qsizetype used = 0;
    } writer;
    writer.version = 1;
    writer.WriteBlock = [](FPDF_FILEWRITE *self, const void *data, unsigned long size) -> int {
        auto *w = static_cast<TWriter *>(self);
        const qsizetype needed = w->used + qsizetype(size);
        if (needed > w->bytes.size())
            w->bytes.resize(std::max(needed, std::max<qsizetype>(0x400000, 2 * w->bytes.size())));
        std::copy_n(static_cast<const char *>(data), size, w->bytes.data() + w->used);
        w->used = needed;
        return 1;
    };
    FPDF_DOCUMENT doc = Docs.Documents[size_t(Doc)].PDFiumDoc.get();
    int version = 0;
    if (!DLL.FPDF_GetFileVersion(doc, &version))
        version = 0;
    const bool ok =
        version < 10 ? DLL.FPDF_SaveAsCopy(doc, &writer, 0) : DLL.FPDF_SaveWithVersion(doc, &writer, 0, version);
    if (!ok)
        return QByteArray();
    writer.bytes.truncate(writer.used);
    return writer.bytes;
}

bool TDocumentSaver::SaveFile(const QString &name)
{
    const int sel = Docs.FSelDoc;
    if (sel < 0 || name.isEmpty())
        return false;
    const QString FN = CanonicalPath(name);
    // A file shown in another tab keeps its content: two tabs never share one name.
    for (int i = 0; i < Docs.nDocuments; ++i)
        if (i != sel && Docs.Documents[size_t(i)].FileName == FN) {
            DebugLog(QStringLiteral("Not Saved, open in another tab: ") + FN);
            return false;
        }
    const QByteArray bytes = GetDocAsString(sel);
    // A new file renamed over the old one (through a link, the file it names): an interrupted
    // save leaves the old file.
    const pl::FileStatus st = pl::files().status(FN);
    const uint32_t mode = st.kind == pl::FileKind::Regular ? st.mode : 0644;
    const bool written = !bytes.isEmpty() && WriteFileDurably(FN, bytes, mode);
    if (written) {
        TDocument &slot = Docs.Current();
        if (FN == slot.FileName) {
            slot.FileDate = FileTime64(FN);
        } else {
            View.StoreDoc(sel);
            Recent.Insert(slot, 0);
            slot.FileName = FN;
            slot.FilePwd.clear();
            slot.FileDate = FileTime64(FN);
            TDocumentList::ResetSyncTeX(slot);
            Host.Window().RenameTab(sel, FN);
            View.RestoreDoc(sel);
        }
    } else {
        DebugLog(QStringLiteral("Not Saved: ") + FN);
    }
    View.UpdateStatus();
    return written;
}
