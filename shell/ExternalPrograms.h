#pragma once
#include <QString>

// The commands that hand the current document to another program. Each starts its program
// without a shell, without the viewer's open files, with the user's environment, and does not
// wait for it. A failed start shows a message with the command and the system's reason, and
// is logged. file is the document's path, empty when there is no document or its file is
// gone; page is the page in view (1-based).

// The external viewer, Prefer.AdobeExe, with Prefer.AdobeCmd expanded for the document (no
// arguments without one).
bool OpenInExternalViewer(const QString &file, int page);

// A second viewer: this program with Prefer.NewInstanceCmd expanded.
bool StartNewInstance(const QString &file, int page);

// The folder in the file manager; the home folder when folder is empty, not absolute or gone.
bool OpenFolderInFileManager(const QString &folder);
