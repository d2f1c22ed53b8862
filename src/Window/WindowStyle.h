#pragma once
// What the plugin's two windows share: a fixed-size window with minimize and close buttons,
// bold 14 pt headings, the 20-pixel margin. GUI thread only.

#include <QString>

#include <string_view>

class QLabel;
class QWidget;

namespace Tralvonic {

constexpr int WindowMargin = 20;

QString ToQString(std::string_view text);
QLabel* MakeHeading(std::string_view text);
// Sizes the window to its content, not resizable, minimizable.
void MakeFixedWindow(QWidget& window);
// Centred on the screen it is on; after the window got its size.
void CenterOnScreen(QWidget& window);

} // namespace Tralvonic
