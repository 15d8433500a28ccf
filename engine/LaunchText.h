#pragma once
// The two conventions by which a link's target drives this program and the editor: "TEXT: "
// [-R] "source" opens a source file in the editor, "PDF: " [-D=dest] [-L=label] [-P=page]
// file opens another document there.
#include "engine/DestType.h"

#include <QString>

struct TLaunchText {
    enum class TKind { None, Editor, Document };
    TKind Kind = TKind::None;
    // Editor: the -R switch and the source file (empty: nothing to start).
    bool Reverse = false;
    // Document: the file, and where to go in it.
    QString File;
    QString Text;
    int Page = 0;
    TDestType Dest = TDestType::ForwardSearch;

    // Reads a link's URI or file path; Kind None when neither convention applies (or "PDF: "
    // names no file).
    static TLaunchText Parse(const QString &target);
};
