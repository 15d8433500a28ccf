#pragma once
// The application's style for menus, asked for small icons at the size of the small image
// list, so that menus show the images as loaded and never scale them.
#include <QProxyStyle>

class TImageListStyle final : public QProxyStyle {
public:
    TImageListStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};
