// The desktop half of NativePlatform: message boxes and opening addresses through Qt, the
// toolkit the TeamSpeak client itself runs on Linux, always by way of the plugin's GUI thread.

#include "core/NativePlatform.h"

#include "core/GuiThread.h"
#include "core/Logger.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

#include <atomic>
#include <memory>
#include <string>

namespace Tralvonic {

namespace {

QMessageBox::Icon QtIcon(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Error:
        return QMessageBox::Critical;
    case MessageBoxIcon::Question:
        return QMessageBox::Question;
    case MessageBoxIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

struct BoxAnswer {
    std::atomic<bool> Answered{false};
    std::atomic<int> Button{QMessageBox::NoButton};
};

QMessageBox* MakeBox(std::string_view caption, std::string_view text, MessageBoxButtons buttons,
                     MessageBoxIcon icon) {
    return new QMessageBox(QtIcon(icon), ToQString(caption), ToQString(text),
                           buttons == MessageBoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                               : QMessageBox::Ok);
}

// On the GUI thread itself (a start-up box during the host's init): the box's own loop, which
// the stop can still end through its close action.
int AskHere(std::string_view caption, std::string_view text, MessageBoxButtons buttons, MessageBoxIcon icon) {
    QPointer<QMessageBox> box = MakeBox(caption, text, buttons, icon);
    const std::uint64_t tracked = GuiThread::Track([box] {
        if (box) {
            box->done(QMessageBox::NoButton);
        }
    });
    const int answer = box->exec();
    GuiThread::Forget(tracked);
    delete box.data();
    return answer;
}

// From any other thread: the box is shown without a loop of its own on the GUI thread, and
// this thread waits for the answer, or for the stop, which closes the box.
int AskFromElsewhere(std::string_view caption, std::string_view text, MessageBoxButtons buttons,
                     MessageBoxIcon icon) {
    auto answer = std::make_shared<BoxAnswer>();
    const bool shown =
        GuiThread::Post([answer, title = std::string(caption), body = std::string(text), buttons, icon] {
            QMessageBox* box = MakeBox(title, body, buttons, icon);
            box->setAttribute(Qt::WA_DeleteOnClose);
            auto tracked = std::make_shared<std::uint64_t>(0);
            QObject::connect(box, &QMessageBox::finished, [answer, tracked](int button) {
                GuiThread::Forget(*tracked);
                answer->Button.store(button);
                answer->Answered.store(true);
                GuiThread::Notify();
            });
            QPointer<QMessageBox> guarded = box;
            *tracked = GuiThread::Track([guarded] { delete guarded.data(); });
            box->show();
            box->raise();
            box->activateWindow();
        });
    if (!shown) {
        return QMessageBox::NoButton;
    }
    GuiThread::WaitUntil([&] { return answer->Answered.load(); });
    return answer->Answered.load() ? answer->Button.load() : QMessageBox::NoButton;
}

} // namespace

MessageBoxResult NativePlatform::ShowMessageBox(std::string_view caption, std::string_view text,
                                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    const MessageBoxResult unanswered =
        buttons == MessageBoxButtons::YesNo ? MessageBoxResult::No : MessageBoxResult::Ok;
    if (!GuiThread::IsAvailable()) {
        Logger::LogWarning("No display for a message box, answering it with " +
                               std::string(unanswered == MessageBoxResult::No ? "No" : "Ok") + ": " +
                               std::string(caption) + " | " + std::string(text),
                           LogChannel::Base);
        return unanswered;
    }
    const int answer = GuiThread::IsCurrent() ? AskHere(caption, text, buttons, icon)
                                              : AskFromElsewhere(caption, text, buttons, icon);
    if (buttons == MessageBoxButtons::Ok) {
        return MessageBoxResult::Ok;
    }
    return answer == QMessageBox::Yes ? MessageBoxResult::Yes : MessageBoxResult::No;
}

void NativePlatform::OpenAddress(std::string_view address) {
    const QUrl url(ToQString(address));
    if (!GuiThread::Post([url] { QDesktopServices::openUrl(url); })) {
        Logger::LogWarning("No desktop to open " + std::string(address), LogChannel::Base);
    }
}

} // namespace Tralvonic
