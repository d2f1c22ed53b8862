// The desktop half of NativePlatform: message boxes and opening addresses through Qt, the
// toolkit the TeamSpeak client itself runs on Linux.

#include "core/NativePlatform.h"

#include "core/Logger.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include <string>

namespace Tralvonic {

namespace {

// Widgets may only be made on the thread of the host's QApplication; a plugin must never
// create a second one. Null when the host runs without one (simulated host, tests).
QApplication* HostApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

template <typename Function> auto RunOnGuiThread(QApplication* application, Function function) {
    if (QThread::currentThread() == application->thread()) {
        return function();
    }
    decltype(function()) result{};
    QMetaObject::invokeMethod(application, function, Qt::BlockingQueuedConnection, &result);
    return result;
}

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

} // namespace

MessageBoxResult NativePlatform::ShowMessageBox(std::string_view caption, std::string_view text,
                                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    const MessageBoxResult unanswered =
        buttons == MessageBoxButtons::YesNo ? MessageBoxResult::No : MessageBoxResult::Ok;
    QApplication* application = HostApplication();
    if (application == nullptr) {
        Logger::LogWarning("No display for a message box, answering it with " +
                               std::string(unanswered == MessageBoxResult::No ? "No" : "Ok") + ": " +
                               std::string(caption) + " | " + std::string(text),
                           LogChannel::Base);
        return unanswered;
    }
    const QString title = QString::fromUtf8(caption.data(), static_cast<int>(caption.size()));
    const QString body = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    const int answer = RunOnGuiThread(application, [&]() -> int {
        QMessageBox box(QtIcon(icon), title, body,
                        buttons == MessageBoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                            : QMessageBox::Ok);
        return box.exec();
    });
    if (buttons == MessageBoxButtons::Ok) {
        return MessageBoxResult::Ok;
    }
    return answer == QMessageBox::Yes ? MessageBoxResult::Yes : MessageBoxResult::No;
}

void NativePlatform::OpenAddress(std::string_view address) {
    QApplication* application = HostApplication();
    const QUrl url(QString::fromUtf8(address.data(), static_cast<int>(address.size())));
    if (application == nullptr) {
        Logger::LogWarning("No desktop to open " + std::string(address), LogChannel::Base);
        return;
    }
    QMetaObject::invokeMethod(
        application, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
}

} // namespace Tralvonic
