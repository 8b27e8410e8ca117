#pragma once

class QRect;
class QWidget;

namespace plx {

struct Environment;

// Sets env.centerLeft/centerTop to the position that centres `window` on its
// screen: (screen - window) / 2 in twips (15 a pixel), halves to even.
void CenterWindow(Environment& env, const QWidget& window);

// CenterWindow and then the move every caller makes to the position it
// computed, kept within the room the screen leaves (its panels, a taskbar).
void moveToCentre(Environment& env, QWidget& window);

// The room a window may take on its screen: the screen less its panels.
QRect availableArea(const QWidget& window);

// Sizes a window to its natural size (its size hint) where `area` holds it with
// its frame, and otherwise to the area less the frame; a window cut in height
// gets the room of a vertical scroll bar beside, where the area has it.
void fitToArea(QWidget& window, const QRect& area);
// fitToArea within the room of the window's screen.
void fitToScreen(QWidget& window);

// Twips and pixels: 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace plx
