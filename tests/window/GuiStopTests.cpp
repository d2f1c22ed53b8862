// The stop on the host's GUI thread, the way the TeamSpeak client stops a plugin, while the
// version check's download offer is queued for that thread or open on it: the stop returns
// within a second, the box is gone and nothing of the plugin is left in Qt's queue.

#include "tests/window/WindowFixture.h"

#include "TeamSpeak/Base.h"
#include "core/NativePlatform.h"
#include "unit/update/LocalHttpServer.h"
#include "update/VersionCheck.h"
#include "update/WebAPI.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <mutex>

namespace Tralvonic::Test {
namespace {

constexpr auto StopLimit = std::chrono::seconds(1);
const std::string OfferLine = "Current Version: 3.1.2 | Online Version: 9.9.9 (Stable)";

// Real message boxes; the plugin's folder and the opened addresses as the test says.
class DesktopPlatform final : public Platform {
public:
    std::string Directory;

    MessageBoxResult ShowMessageBox(std::string_view caption, std::string_view text,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override {
        return _native.ShowMessageBox(caption, text, buttons, icon);
    }
    void OpenAddress(std::string_view address) override {
        std::lock_guard lock(_mutex);
        _opened.emplace_back(address);
    }
    bool IsSoftwareInstalled(std::string_view) override { return true; }
    std::string PluginDirectory() override { return Directory; }
    bool FileExists(const std::string& path) override { return _native.FileExists(path); }
    std::unique_ptr<NativeLibrary> OpenLibrary(const std::string& path, std::string& error) override {
        return _native.OpenLibrary(path, error);
    }
    std::vector<std::string> Opened() const {
        std::lock_guard lock(_mutex);
        return _opened;
    }

private:
    NativePlatform _native;
    mutable std::mutex _mutex;
    std::vector<std::string> _opened;
};

QMessageBox* VisibleOffer() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible() && box->text().contains("Latest Version: 9.9.9")) {
            return box;
        }
    }
    return nullptr;
}

int CountBoxes() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<QMessageBox*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

class GuiStopTest : public ::testing::Test {
protected:
    GuiStopTest() {
        Folder.WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:0"})");
        System.Directory = Folder.Directory.string();
        WebAPI::SetServiceAddress(Service.Address());
        Service.Answer(200, "9.9.9");
        TeamSpeak::Base::SetFunctions(Sim.Functions());
        Sim.AttachPlugin(LinkedExports());
    }

    ~GuiStopTest() override {
        if (_running) {
            ts3plugin_shutdown();
        }
        Sim.DetachPlugin();
        WebAPI::SetServiceAddress("");
        Base::SetConfiguration(Configuration{});
    }

    // On the GUI thread, as the client starts its plugins.
    void Start() {
        ASSERT_EQ(ts3plugin_init(), 0);
        _running = true;
    }

    std::chrono::milliseconds TimedStop() {
        const auto start = Clock::now();
        ts3plugin_shutdown();
        _running = false;
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }

    // Without running the GUI thread's events: the offer can only be queued, not shown.
    bool WaitForOfferLine() {
        const auto end = Clock::now() + WindowDeadline;
        while (Clock::now() < end) {
            for (const auto& entry : Sim.LogEntries()) {
                if (entry.Message == OfferLine) {
                    return true;
                }
            }
            Sim.WaitForEvents(std::chrono::milliseconds(5));
        }
        return false;
    }

    Sim::SimulatedClient Sim;
    PluginFolder Folder;
    DesktopPlatform System;
    Testing::ScopedPlatform InstalledSystem{System};
    LocalHttpServer Service;

private:
    bool _running = false;
};

TEST_F(GuiStopTest, AStopOnTheGuiThreadWhileTheOfferIsQueuedReturnsAtOnce) {
    Start();
    ASSERT_TRUE(WaitForOfferLine());
    EXPECT_LT(TimedStop(), StopLimit);
    EXPECT_FALSE(VersionCheck::IsRunning());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CountBoxes(), 0) << "a queued offer is never shown after the stop";
    EXPECT_TRUE(System.Opened().empty());
}

TEST_F(GuiStopTest, AStopOnTheGuiThreadWhileTheOfferIsOpenClosesIt) {
    Start();
    QMessageBox* offer = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (offer = VisibleOffer()) != nullptr; }));
    EXPECT_EQ(offer->windowTitle(), "Tralvonic");
    EXPECT_EQ(offer->text().toStdString(),
              "Get the latest version now, please make sure your server supports it!\r\n\r\nUpdate Branch: "
              "Stable\r\nYour Version: 3.1.2\r\nLatest Version: 9.9.9\r\n\r\nDownload now?");
    EXPECT_EQ(offer->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    offer->grab().save(QString::fromStdString(ArtifactPath("update-offer.png").string()));

    EXPECT_LT(TimedStop(), StopLimit);
    EXPECT_FALSE(VersionCheck::IsRunning());
    EXPECT_TRUE(PumpUntil([] { return CountBoxes() == 0; }));
    EXPECT_TRUE(System.Opened().empty()) << "closing the box by the stop is no Yes";
}

TEST_F(GuiStopTest, AStopFromAnotherThreadClosesTheOpenOfferWhileTheGuiThreadRuns) {
    Start();
    ASSERT_TRUE(PumpUntil([] { return VisibleOffer() != nullptr; }));
    const auto start = Clock::now();
    auto stopped = std::async(std::launch::async, [this] { ts3plugin_shutdown(); });
    ASSERT_TRUE(
        PumpUntil([&] { return stopped.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_LT(Clock::now() - start, StopLimit);
    stopped.get();
    Sim.DetachPlugin();
    EXPECT_TRUE(PumpUntil([] { return CountBoxes() == 0; }));
}

TEST_F(GuiStopTest, YesOnTheOfferOpensTheDownloadPage) {
    Start();
    QMessageBox* offer = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (offer = VisibleOffer()) != nullptr; }));
    QTest::mouseClick(offer->button(QMessageBox::Yes), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return !System.Opened().empty(); }));
    EXPECT_EQ(System.Opened(), std::vector<std::string>{Service.Address() + "/tralvonic/download/9.9.9"});
    EXPECT_TRUE(PumpUntil([] { return !VersionCheck::IsRunning(); }));
    EXPECT_LT(TimedStop(), StopLimit);
}

TEST_F(GuiStopTest, AStopOnTheGuiThreadClosesOpenWindows) {
    Base::SetMenuWindowFactory(std::make_shared<QtMenuWindowFactory>(
        PermissionEvents{TeamSpeakCallback::PermissionOverview, TeamSpeakCallback::PermissionOverviewFinished,
                         TeamSpeakCallback::PermissionError}));
    Service.Answer(200, "3.1.2");
    Start();
    ts3plugin_onMenuItemEvent(0, TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL, 1, 0);
    ts3plugin_onMenuItemEvent(0, TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL, 2, 0);
    ASSERT_TRUE(PumpUntil([] {
        return VisibleWindow("Settings - Tralvonic") != nullptr &&
               VisibleWindow("Troubleshooting - Tralvonic") != nullptr;
    }));
    EXPECT_LT(TimedStop(), StopLimit);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CountWindows("Settings - Tralvonic"), 0);
    EXPECT_EQ(CountWindows("Troubleshooting - Tralvonic"), 0);
    Base::SetMenuWindowFactory(nullptr);
}

} // namespace
} // namespace Tralvonic::Test
