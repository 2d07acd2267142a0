#pragma once

#include <QRect>

// Where the window goes when the traffic panel opens beside the pages: as wide
// as the pages plus the panel, but never beyond its screen.
namespace TrafficPanelGeometry {

// The narrowest the panel gets on a small screen; below it the splitter takes
// the panel's width from the pages instead.
constexpr int kMinimumPanelWidth = 400;

struct Placement
{
    QRect frame;    // the window's frame geometry with the panel open
    int panelWidth; // the panel's share of the splitter
};

// From the screen's available geometry, the window's frame geometry with the
// panel closed, the panel's width and the splitter handle's width. The window
// grows to the right and moves left as far as it must to stay on the screen;
// when the screen is still too narrow the window takes the screen's width and
// the panel what is left of it, at least kMinimumPanelWidth. A window already
// wider than its screen keeps its width.
Placement opening(const QRect& available, const QRect& frame, int panelWidth, int handleWidth);

} // namespace TrafficPanelGeometry
