#include "Window/WindowStyle.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace Tralvonic {

namespace {

constexpr int HeadingPointSize = 14;

} // namespace

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QLabel* MakeHeading(std::string_view text) {
    auto* heading = new QLabel(ToQString(text));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSize(HeadingPointSize);
    heading->setFont(font);
    return heading;
}

void MakeFixedWindow(QWidget& window) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
}

void CenterOnScreen(QWidget& window) {
    // Polished first: the style may change the fonts, and with them every label's width.
    window.ensurePolished();
    if (QLayout* layout = window.layout()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->invalidate();
        layout->activate();
    }
    window.adjustSize();
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    window.move(available.center() - window.rect().center());
}

} // namespace Tralvonic
