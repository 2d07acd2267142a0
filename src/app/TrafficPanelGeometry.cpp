#include "app/TrafficPanelGeometry.h"

#include <algorithm>

namespace TrafficPanelGeometry {

Placement opening(const QRect& available, const QRect& frame, int panelWidth, int handleWidth)
{
    const int wanted = frame.width() + handleWidth + panelWidth;
    const int width = std::min(wanted, std::max(available.width(), frame.width()));
    const int left =
        std::max(available.left(), std::min(frame.left(), available.left() + available.width() - width));
    const int leftOver = width - frame.width() - handleWidth;
    return {QRect(left, frame.top(), width, frame.height()),
            std::max(leftOver, std::min(kMinimumPanelWidth, panelWidth))};
}

} // namespace TrafficPanelGeometry
