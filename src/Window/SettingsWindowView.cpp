#include "Window/SettingsWindowView.h"

#include "Window/WindowStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <string>
#include <string_view>

namespace Tralvonic {

namespace {

constexpr int ControlWidth = 140;
constexpr int ControlHeight = 26;
constexpr int OriginRows = 3;
constexpr int RowSpacing = 12;

template <typename Names> void Fill(QComboBox* box, const Names& names, const std::string& selected) {
    box->clear();
    for (const auto& name : names) {
        box->addItem(ToQString(name));
    }
    box->setCurrentText(ToQString(selected));
}

QComboBox* MakeDropDown(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setFixedSize(ControlWidth, ControlHeight);
    return box;
}

QCheckBox* MakeCheckBox(const char* name) {
    auto* box = new QCheckBox;
    box->setObjectName(name);
    return box;
}

std::string Text(const QString& text) {
    return text.toUtf8().toStdString();
}

struct Row {
    const char* Label;
    QWidget* Control;
};

// A bold heading over a column of label-control rows.
QGridLayout* MakeSection(std::string_view heading, std::initializer_list<Row> rows) {
    auto* section = new QGridLayout;
    section->setHorizontalSpacing(RowSpacing);
    section->setVerticalSpacing(RowSpacing / 2);
    section->addWidget(MakeHeading(heading), 0, 0, 1, 2);
    int row = 1;
    for (const Row& entry : rows) {
        section->addWidget(new QLabel(entry.Label), row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        section->addWidget(entry.Control, row, 1, Qt::AlignLeft);
        ++row;
    }
    return section;
}

} // namespace

SettingsWindowView::SettingsWindowView() {
    setWindowTitle(ToQString(SettingsWindow::Title));
    MakeFixedWindow(*this);
    BuildLayout();
    Reload();
    Connect();
}

void SettingsWindowView::BuildLayout() {
    _audio3d = MakeCheckBox("Audio3dCheckBox");
    _phoneAudio = MakeDropDown("PhoneAudioBox");
    _primaryRadio = MakeDropDown("PrimaryRadioBox");
    _secondaryRadio = MakeDropDown("SecondaryRadioBox");
    _micClick = MakeDropDown("MicClickBox");
    _expertMode = MakeCheckBox("ExpertModeBox");
    _updateBranch = MakeDropDown("UpdateBranchBox");
    _logLevel = MakeDropDown("LogLevelBox");
    _webSocketAddress = new QLineEdit;
    _webSocketAddress->setObjectName("WebSocketAddressBox");
    _webSocketAddress->setFixedSize(ControlWidth, ControlHeight);
    _originExceptions = new QPlainTextEdit;
    _originExceptions->setObjectName("OriginExceptionBox");
    _originExceptions->setLineWrapMode(QPlainTextEdit::NoWrap);
    _originExceptions->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    _originExceptions->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    _originExceptions->setFixedWidth(ControlWidth);
    const QMargins margins = _originExceptions->contentsMargins();
    _originExceptions->setFixedHeight(_originExceptions->fontMetrics().lineSpacing() * OriginRows +
                                      2 * static_cast<int>(_originExceptions->document()->documentMargin()) +
                                      margins.top() + margins.bottom());

    auto* audio = MakeSection("Audio Options", {{"3D Voice", _audio3d},
                                                {"Phone", _phoneAudio},
                                                {"Primary Radio", _primaryRadio},
                                                {"Secondary Radio", _secondaryRadio},
                                                {"Mic Click", _micClick}});
    auto* plugin = MakeSection("Plugin Options", {{"Expert Mode", _expertMode},
                                                  {"Update Branch", _updateBranch},
                                                  {"Log Level", _logLevel},
                                                  {"WebSocket Address", _webSocketAddress},
                                                  {"Origin Exceptions", _originExceptions}});

    auto* reset = new QPushButton("Reset");
    reset->setObjectName("ResetButton");
    connect(reset, &QPushButton::clicked, this, [this] {
        if (_logic.OnResetClicked()) {
            Reload();
        }
    });

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(WindowMargin, WindowMargin, WindowMargin, WindowMargin);
    grid->setHorizontalSpacing(WindowMargin);
    grid->addLayout(audio, 0, 0, Qt::AlignTop);
    grid->addLayout(plugin, 0, 1, Qt::AlignTop);
    grid->addWidget(reset, 1, 1, Qt::AlignRight | Qt::AlignBottom);
}

void SettingsWindowView::Connect() {
    connect(_audio3d, &QCheckBox::toggled, this, [this](bool checked) { _logic.OnAudio3dChanged(checked); });
    const auto onStereo = [this](QComboBox* box, StereoControl control) {
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, box, control](int) { _logic.OnStereoChanged(control, Text(box->currentText())); });
    };
    onStereo(_phoneAudio, StereoControl::Phone);
    onStereo(_primaryRadio, StereoControl::PrimaryRadio);
    onStereo(_secondaryRadio, StereoControl::SecondaryRadio);
    connect(_micClick, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int) { _logic.OnMicClickChanged(Text(_micClick->currentText())); });
    connect(_updateBranch, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int) { _logic.OnUpdateBranchChanged(Text(_updateBranch->currentText())); });
    connect(_logLevel, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int) { _logic.OnLogLevelChanged(Text(_logLevel->currentText())); });
    connect(_webSocketAddress, &QLineEdit::editingFinished, this,
            [this] { _logic.OnWebSocketAddressCommitted(Text(_webSocketAddress->text())); });
    _originExceptions->installEventFilter(this);
    connect(_expertMode, &QCheckBox::toggled, this, [this](bool checked) {
        if (_logic.OnExpertModeChanged(checked)) {
            Reload();
        }
    });
}

bool SettingsWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _originExceptions && event->type() == QEvent::FocusOut) {
        _logic.OnOriginExceptionsCommitted(Text(_originExceptions->toPlainText()));
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsWindowView::Reload() {
    _logic.BeginLoad();
    const SettingsView view = SettingsWindow::Load();
    _audio3d->setChecked(view.Audio3d);
    Fill(_phoneAudio, SettingsWindow::StereoNames, view.PhoneAudio);
    Fill(_primaryRadio, SettingsWindow::StereoNames, view.PrimaryRadio);
    Fill(_secondaryRadio, SettingsWindow::StereoNames, view.SecondaryRadio);
    Fill(_micClick, SettingsWindow::MicClickNames, view.MicClick);
    Fill(_logLevel, SettingsWindow::LogLevelNames, view.LogLevel);
    _webSocketAddress->setText(ToQString(view.WebSocketAddress));
    _webSocketAddress->setCursorPosition(0);
    _originExceptions->setPlainText(ToQString(view.OriginExceptions));
    _expertMode->setChecked(view.ExpertMode);
    Fill(_updateBranch, view.UpdateBranchItems, view.UpdateBranch);
    _logLevel->setEnabled(view.ExpertControlsEnabled);
    _webSocketAddress->setEnabled(view.ExpertControlsEnabled);
    _originExceptions->setEnabled(view.ExpertControlsEnabled);
    _logic.EndLoad();
}

} // namespace Tralvonic
