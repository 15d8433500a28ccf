// Page layout: GetLayout on a 2000-page continuous document with the page rectangles cached,
// at scroll positions spread over the whole document, and the first build of the rectangles.
#include "engine/PageLayout.h"

#include "RecordingHost.h"
#include "SyntheticPages.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void run(int pageView)
{
    std::vector<FS_SIZEF> sizes;
    for (int i = 0; i < 2000; ++i)
        sizes.push_back(i % 7 == 3 ? FS_SIZEF{842, 595} : FS_SIZEF{612, 792});
    SyntheticPages pages(sizes);
    RecordingHost host;
    host.clientWidth = 1600;
    host.clientHeight = 1000;
    TPageLayout layout(pages, host);
    layout.FPixelsPerInch = 96;
    layout.FZoomMode = zCustom;
    layout.FZoom = 125;
    layout.PageView = TPageViewMode(pageView);
    layout.SelPage = 1;
    layout.SetSelectedPage(1);

    const auto b0 = Clock::now();
    layout.SetupView();
    const double build = microseconds(Clock::now() - b0);

    const int range = layout.PagesRect.vsr;
    const int calls = 200000;
    long long entries = 0;
    const TRect client{0, 0, host.clientWidth, host.clientHeight};
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) {
        // Jumps across the document as well as small scrolls near the selected page.
        const int t = int((long long)(i % 1000) * (range - host.clientHeight) / 999);
        entries += layout.GetLayout(t, 0, host.clientHeight, host.clientWidth, client);
        layout.SelPage = layout.Layout[0].cp;
    }
    const double perCall = microseconds(Clock::now() - t0) / calls;
    std::printf("view %d: SetupView with first build of 2000 rectangles %.1f us; GetLayout %.3f us a call "
                "(%.1f entries on average; target under 50 us)\n",
                pageView, build, perCall, double(entries) / calls);
}

} // namespace

int main()
{
    for (int view = 0; view <= 2; ++view)
        run(view);
    return 0;
}
