#pragma once
// The settings window's widgets: two sections of label-control rows side by side and a Reset
// button, every control named as the window's logic knows it. GUI thread only.

#include "Window/SettingsWindow.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace Tralvonic {

class SettingsWindowView final : public QWidget {
public:
    SettingsWindowView();

    // Fills every control from the configuration with the handlers muted.
    void Reload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void Connect();

    SettingsWindow _logic;
    QCheckBox* _audio3d = nullptr;
    QComboBox* _phoneAudio = nullptr;
    QComboBox* _primaryRadio = nullptr;
    QComboBox* _secondaryRadio = nullptr;
    QComboBox* _micClick = nullptr;
    QCheckBox* _expertMode = nullptr;
    QComboBox* _updateBranch = nullptr;
    QComboBox* _logLevel = nullptr;
    QLineEdit* _webSocketAddress = nullptr;
    QPlainTextEdit* _originExceptions = nullptr;
};

} // namespace Tralvonic
