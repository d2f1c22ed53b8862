#include "Window/TroubleWindowView.h"

#include "Window/WindowStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <utility>

namespace Tralvonic {

namespace {

constexpr int LogWidth = 560;
constexpr int LogHeight = 260;

} // namespace

TroubleWindowView::TroubleWindowView(PermissionEvents events, TroubleWindow::ToWindowThread toWindowThread) {
    setWindowTitle(ToQString(TroubleWindow::Title));
    MakeFixedWindow(*this);

    _logBox = new QPlainTextEdit;
    _logBox->setObjectName("LogBox");
    _logBox->setReadOnly(true);
    _logBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    _logBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    _logBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    _logBox->setFixedSize(LogWidth, LogHeight);

    _startButton = new QPushButton("Start Troubleshooting");
    _startButton->setObjectName("StartButton");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(WindowMargin, WindowMargin, WindowMargin, WindowMargin);
    layout->addWidget(MakeHeading("Troubleshooting Log"));
    layout->addWidget(_logBox);
    layout->addWidget(_startButton, 0, Qt::AlignRight);

    TroubleOutput output;
    output.AddLine = [this](const std::string& line) {
        // Appended as plain text with its line break; appendPlainText would start a paragraph.
        QTextCursor cursor(_logBox->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(ToQString(line) + "\n");
    };
    output.ClearLog = [this] {
        _logBox->clear();
    };
    output.SetStartEnabled = [this](bool enabled) {
        _startButton->setEnabled(enabled);
    };
    _logic = TroubleWindow::Create(events, std::move(toWindowThread), std::move(output));
    connect(_startButton, &QPushButton::clicked, this, [this] { _logic->OnStartClicked(); });
    _logic->OnStartClicked();
}

} // namespace Tralvonic
