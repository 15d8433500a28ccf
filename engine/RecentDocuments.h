#pragma once
// The recent documents list of the settings: the view each document was left with, most
// recent first, and which of them were open at the last exit.
#include "engine/Document.h"

#include <QString>

#include <functional>
#include <span>

struct TPrefer;

class TRecentDocuments {
public:
    explicit TRecentDocuments(TPrefer &prefer) : Prefer(prefer) {}

    // Puts Doc's file and view at the top; opened is 0 (closed), 1 (open) or 2 (open and
    // current). A known name moves up; a new one drops the oldest entry of a full list.
    void Insert(const TDocument &Doc, int opened);
    // The open documents at the top in their order, the one at index selected marked current.
    void InsertOpen(std::span<const TDocument> open, int selected);
    // Gives Doc the view the list remembers for FN, when the settings keep views; true when
    // one was found.
    bool Recall(const QString &FN, TDocument &Doc) const;
    // Calls open for each document that was open at the last exit, from the top until the
    // first closed entry or until Escape is pressed; a file that is gone is marked closed and
    // skipped.
    void ForEachOpened(const std::function<void(const QString &FN, bool selected)> &open);

private:
    TPrefer &Prefer;
};
