#pragma once
// The troubleshooting window's widgets: a heading, the read-only LogBox and StartButton. The
// checks run once as soon as the window is made. GUI thread only.

#include "Window/TroubleWindow.h"

#include <QWidget>

#include <memory>

class QPlainTextEdit;
class QPushButton;

namespace Tralvonic {

class TroubleWindowView final : public QWidget {
public:
    // `toWindowThread` brings the permission answers to this window's thread.
    TroubleWindowView(PermissionEvents events, TroubleWindow::ToWindowThread toWindowThread);

private:
    QPlainTextEdit* _logBox = nullptr;
    QPushButton* _startButton = nullptr;
    std::shared_ptr<TroubleWindow> _logic;
};

} // namespace Tralvonic
