#pragma once
#include <QString>
#include <functional>
#include <vector>

// "Page i of n" under the preview, with the page's number and label where they tell more:
// i is the position among the pages to print (1-based), pages their numbers, labelOf a page's
// label.
QString PreviewPageLabel(int i, const std::vector<int> &pages, const std::function<QString(int page)> &labelOf);
