#pragma once
// Why a file did not open as a document, in words for the user.
#include <QString>

// "Cannot open "name": " + a folder, empty, not a PDF file or damaged, judged from the file
// itself; name is the file's name without its folder.
QString OpenFailureText(const QString &path);
