#pragma once

class QWidget;

namespace plx {

struct Environment;

// Sets env.centerLeft/centerTop to the position that centres `window` on its
// screen: (screen - window) / 2 in twips (15 a pixel), halves to even.
void CenterWindow(Environment& env, const QWidget& window);

// CenterWindow and then the move every caller makes to the position it computed.
void moveToCentre(Environment& env, QWidget& window);

// Twips and pixels: 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace plx
