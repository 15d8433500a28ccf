#pragma once
#include <QString>
#include <QStringList>

// The argument templates of the external viewer (AdobeCmd) and of a new instance of this
// program (NewInstanceCmd). "%p" stands for the page in view, "%f" for the document's path.
// Without a document (NewInstanceCmd only) every "%" pair is dropped and "%%" ends the
// template. With one, "%%" stays "%%" in AdobeCmd and is one blank in NewInstanceCmd (it
// separates switches there), and other "%" pairs are kept for the program started, like the
// new instance's "%b". A "%" at the end is dropped; no quotes are added.
//
// The template is split into arguments with the path standing in as one ordinary character,
// and the path goes into its argument afterwards: quotes, blanks, "$", ";" or backslashes in
// a file name never make another argument. Quotes around "%f" only group.
enum class TLaunchTemplate { ExternalViewer, NewInstance };

struct TLaunchArguments {
    QStringList args; // the arguments after the program's name
    QString text;     // the expanded template, for messages and the log
};

// file empty: there is no document.
TLaunchArguments ExpandLaunchTemplate(TLaunchTemplate kind, const QString &commandTemplate, const QString &file,
                                      int page);
