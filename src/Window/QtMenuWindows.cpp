#include "Window/QtMenuWindows.h"

#include "Window/NativeMenuWindows.h"
#include "Window/SettingsWindowView.h"
#include "Window/TroubleWindowView.h"
#include "Window/WindowStyle.h"
#include "core/GuiThread.h"
#include "core/Logger.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

namespace Tralvonic {

namespace {

// Shared by the window thread, the GUI thread and whoever closes the window.
struct WindowLife {
    std::atomic<bool> CloseRequested{false};
    std::atomic<bool> Closed{false};
    // GUI thread only.
    QPointer<QWidget> Widget;
    std::uint64_t Tracked = 0;
};

class QtMenuWindow final : public IMenuWindow {
public:
    using MakeWidget = std::function<QWidget*()>;

    explicit QtMenuWindow(MakeWidget makeWidget) : _makeWidget(std::move(makeWidget)) {}

    void SetClosedCallback(std::function<void()> closed) override { _closed = std::move(closed); }

    void ShowModal() override {
        const auto life = _life;
        if (life->CloseRequested.load()) {
            return;
        }
        const bool posted = GuiThread::Post([life, makeWidget = _makeWidget] { Show(life, makeWidget); });
        if (posted) {
            GuiThread::WaitUntil([&] { return life->Closed.load(); });
        }
        if (_closed) {
            _closed();
        }
    }

    void Close() override {
        _life->CloseRequested.store(true);
        GuiThread::Post([life = _life] {
            if (life->Widget) {
                life->Widget->close();
            }
        });
        GuiThread::Notify();
    }

private:
    static void Show(const std::shared_ptr<WindowLife>& life, const MakeWidget& makeWidget) {
        if (life->CloseRequested.load()) {
            MarkClosed(*life);
            return;
        }
        QWidget* widget = makeWidget();
        widget->setAttribute(Qt::WA_DeleteOnClose);
        life->Widget = widget;
        QObject::connect(widget, &QObject::destroyed, [life] {
            GuiThread::Forget(life->Tracked);
            MarkClosed(*life);
        });
        life->Tracked = GuiThread::Track([life] { delete life->Widget.data(); });
        CenterOnScreen(*widget);
        widget->show();
        widget->raise();
        widget->activateWindow();
    }

    static void MarkClosed(WindowLife& life) {
        life.Closed.store(true);
        GuiThread::Notify();
    }

    MakeWidget _makeWidget;
    std::shared_ptr<WindowLife> _life = std::make_shared<WindowLife>();
    std::function<void()> _closed;
};

// Brings a permission answer to the GUI thread and waits until it has been handled there.
void ToGuiThread(std::function<void()> work) {
    GuiThread::Invoke(std::move(work));
}

} // namespace

std::shared_ptr<IMenuWindow> QtMenuWindowFactory::Create(MenuWindow kind) {
    if (GuiThread::IsClosed()) {
        // The plugin is stopping; the click came too late.
        return nullptr;
    }
    if (!GuiThread::IsAvailable()) {
        Logger::LogWarning(std::string(kind == MenuWindow::Settings ? "Settings" : "Troubleshooting") +
                               " window cannot be shown without a display",
                           LogChannel::Base);
        return nullptr;
    }
    if (kind == MenuWindow::Settings) {
        return std::make_shared<QtMenuWindow>([] { return new SettingsWindowView; });
    }
    return std::make_shared<QtMenuWindow>(
        [events = _events] { return new TroubleWindowView(events, ToGuiThread); });
}

std::shared_ptr<MenuWindowFactory> MakeNativeMenuWindowFactory(PermissionEvents events) {
    return std::make_shared<QtMenuWindowFactory>(events);
}

} // namespace Tralvonic
