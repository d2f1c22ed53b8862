// The settings window as the user meets it: opened from the plugin menu, every control
// driven with QTest, the live configuration changed at once and the file written on close.

#include "tests/window/WindowFixture.h"

#include "Window/SettingsWindow.h"
#include "core/Configuration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <sstream>

namespace Tralvonic::Test {
namespace {

const QString Title = "Settings - Tralvonic";
constexpr int SettingsMenu = 1;

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

// What focus leaving a text box delivers, without a window manager to move the focus.
void LoseFocus(QWidget* widget) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &focusOut);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SettingsWindowTest : public WindowTest {
protected:
    QWidget* Open() {
        QWidget* window = OpenFromMenu(SettingsMenu, Title);
        if (window != nullptr) {
            QApplication::setActiveWindow(window);
        }
        return window;
    }

    // The user closes the window; the plugin then validates and writes the file.
    void CloseByUser(QWidget* window) {
        window->close();
        ASSERT_TRUE(PumpUntil([] { return CountWindows(Title) == 0; }));
        ASSERT_TRUE(PumpUntil(
            [&] { return ReadFile(Folder.SettingsFile()).find("Is3dEnabled") != std::string::npos; }));
    }
};

TEST_F(SettingsWindowTest, OpeningShowsTheSettingsAndChangesNothing) {
    Folder.WriteSettings(
        R"({"WebSocketAddress":"127.0.0.1:0","ExpertMode":false,"Is3dEnabled":false,)"
        R"("PhoneOffset":"Stereo","RadioOffset":"RightOnly","SecondaryRadioOffset":"LeftOnly",)"
        R"("MicClickMode":"Never","UpdateBranch":"Testing"})");
    ASSERT_EQ(StartPlugin(), 0);
    const Configuration before = *Base::CurrentConfiguration();
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);

    EXPECT_FALSE(Control<QCheckBox>(window, "Audio3dCheckBox")->isChecked());
    EXPECT_EQ(Control<QComboBox>(window, "PhoneAudioBox")->currentText(), "Stereo");
    EXPECT_EQ(Control<QComboBox>(window, "PrimaryRadioBox")->currentText(), "Only Right");
    EXPECT_EQ(Control<QComboBox>(window, "SecondaryRadioBox")->currentText(), "Only Left");
    EXPECT_EQ(Items(Control<QComboBox>(window, "PhoneAudioBox")),
              QStringList({"Only Left", "Only Right", "Stereo"}));
    EXPECT_EQ(Control<QComboBox>(window, "MicClickBox")->currentText(), "Never");
    EXPECT_EQ(Items(Control<QComboBox>(window, "MicClickBox")),
              QStringList({"Always", "Never", "Script Dependent"}));
    EXPECT_FALSE(Control<QCheckBox>(window, "ExpertModeBox")->isChecked());
    EXPECT_EQ(Items(Control<QComboBox>(window, "UpdateBranchBox")), QStringList({"Stable", "Testing"}));
    EXPECT_EQ(Control<QComboBox>(window, "UpdateBranchBox")->currentText(), "Testing");
    EXPECT_EQ(Items(Control<QComboBox>(window, "LogLevelBox")),
              QStringList({"Error", "Warning", "Info", "Debug", "Extensive", "ExtensiveDebug"}));
    EXPECT_EQ(Control<QComboBox>(window, "LogLevelBox")->currentText(), "Info");
    EXPECT_FALSE(Control<QComboBox>(window, "LogLevelBox")->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(window, "WebSocketAddressBox")->isEnabled());
    EXPECT_FALSE(Control<QPlainTextEdit>(window, "OriginExceptionBox")->isEnabled());
    EXPECT_EQ(Control<QPlainTextEdit>(window, "OriginExceptionBox")->toPlainText().toStdString(),
              Configuration::DefaultOriginExceptions()[0] + "\n" +
                  Configuration::DefaultOriginExceptions()[1]);
    EXPECT_EQ(Control<QComboBox>(window, "PhoneAudioBox")->size(), QSize(140, 26));
    EXPECT_EQ(Control<QLineEdit>(window, "WebSocketAddressBox")->size(), QSize(140, 26));
    EXPECT_EQ(Control<QPushButton>(window, "ResetButton")->text(), "Reset");
    EXPECT_EQ(*Base::CurrentConfiguration(), before);

    window->grab().save(QString::fromStdString(ArtifactPath("settings-window.png").string()));
}

TEST_F(SettingsWindowTest, APreviewBranchIsListedWithoutExpertMode) {
    // The file is read without expert mode, which would put Preview back to Stable.
    ASSERT_EQ(StartPlugin(), 0);
    Configuration configuration = *Base::CurrentConfiguration();
    configuration.ExpertMode = false;
    configuration.UpdateBranch = UpdateBranch::Preview;
    Base::SetConfiguration(configuration);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Items(Control<QComboBox>(window, "UpdateBranchBox")),
              QStringList({"Stable", "Testing", "Preview"}));
    EXPECT_EQ(Control<QComboBox>(window, "UpdateBranchBox")->currentText(), "Preview");
}

TEST_F(SettingsWindowTest, EveryControlWritesItsSettingAndTheFileIsWrittenOnClose) {
    ASSERT_EQ(StartPlugin(), 0); // expert mode on
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);

    QTest::keyClick(Control<QCheckBox>(window, "Audio3dCheckBox"), Qt::Key_Space);
    EXPECT_FALSE(Base::CurrentConfiguration()->Is3dEnabled);

    auto* phone = Control<QComboBox>(window, "PhoneAudioBox"); // from Only Right
    QTest::keyClick(phone, Qt::Key_Down);
    EXPECT_EQ(Base::CurrentConfiguration()->PhoneOffset, StereoMode::Stereo);
    QTest::keyClick(Control<QComboBox>(window, "PrimaryRadioBox"), Qt::Key_Down); // from Only Left
    EXPECT_EQ(Base::CurrentConfiguration()->RadioOffset, StereoMode::RightOnly);
    QTest::keyClick(Control<QComboBox>(window, "SecondaryRadioBox"), Qt::Key_Up); // from Only Right
    EXPECT_EQ(Base::CurrentConfiguration()->SecondaryRadioOffset, StereoMode::LeftOnly);
    QTest::keyClick(Control<QComboBox>(window, "MicClickBox"), Qt::Key_Up); // from Script Dependent
    EXPECT_EQ(Base::CurrentConfiguration()->MicClickMode, MicClickMode::Never);
    QTest::keyClick(Control<QComboBox>(window, "UpdateBranchBox"), Qt::Key_End);
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Preview);
    QTest::keyClick(Control<QComboBox>(window, "LogLevelBox"), Qt::Key_Home);
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, LogLevel::Error);

    auto* address = Control<QLineEdit>(window, "WebSocketAddressBox");
    address->clear();
    QTest::keyClicks(address, "not an address");
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "127.0.0.1:0")
        << "committed on focus loss only";
    LoseFocus(address);
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "not an address");

    auto* origins = Control<QPlainTextEdit>(window, "OriginExceptionBox");
    origins->clear();
    QTest::keyClicks(origins, "^a$");
    QTest::keyClick(origins, Qt::Key_Return);
    QTest::keyClick(origins, Qt::Key_Return);
    QTest::keyClicks(origins, "^b$");
    LoseFocus(origins);
    EXPECT_EQ(Base::CurrentConfiguration()->OriginExceptions, (std::vector<std::string>{"^a$", "", "^b$"}));

    CloseByUser(window);
    const std::string file = ReadFile(Folder.SettingsFile());
    EXPECT_NE(file.find(R"("WebSocketAddress":"not an address")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("OriginExceptions":["^a$","","^b$"])"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("Is3dEnabled":false)"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("UpdateBranch":"Preview")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("LogLevel":"Error")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("PhoneOffset":"Stereo")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("MicClickMode":"Never")"), std::string::npos) << file;
}

TEST_F(SettingsWindowTest, LeavingExpertModePutsTheExpertSettingsBackAndGreysThem) {
    ASSERT_EQ(StartPlugin(), 0); // expert mode on
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    auto* address = Control<QLineEdit>(window, "WebSocketAddressBox");
    address->setText("127.0.0.1:4000");
    LoseFocus(address);
    QTest::keyClick(Control<QComboBox>(window, "UpdateBranchBox"), Qt::Key_End);
    ASSERT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Preview);

    QTest::keyClick(Control<QCheckBox>(window, "ExpertModeBox"), Qt::Key_Space);

    const Configuration defaults;
    EXPECT_FALSE(Base::CurrentConfiguration()->ExpertMode);
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, defaults.WebSocketAddress);
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, defaults.LogLevel);
    EXPECT_EQ(Base::CurrentConfiguration()->OriginExceptions, defaults.OriginExceptions);
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Stable);
    EXPECT_EQ(address->text().toStdString(), defaults.WebSocketAddress);
    EXPECT_FALSE(address->isEnabled());
    EXPECT_EQ(Control<QComboBox>(window, "LogLevelBox")->currentText(), "Info");
    EXPECT_FALSE(Control<QComboBox>(window, "LogLevelBox")->isEnabled());
    EXPECT_FALSE(Control<QPlainTextEdit>(window, "OriginExceptionBox")->isEnabled());
    EXPECT_EQ(Items(Control<QComboBox>(window, "UpdateBranchBox")), QStringList({"Stable", "Testing"}));
}

TEST_F(SettingsWindowTest, ResetShowsTheDefaultsAndWritesThemAtOnce) {
    ASSERT_EQ(StartPlugin(), 0);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(Control<QCheckBox>(window, "Audio3dCheckBox"), Qt::Key_Space);
    ASSERT_FALSE(Base::CurrentConfiguration()->Is3dEnabled);

    QTest::mouseClick(Control<QPushButton>(window, "ResetButton"), Qt::LeftButton);

    EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{});
    EXPECT_TRUE(Control<QCheckBox>(window, "Audio3dCheckBox")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(window, "ExpertModeBox")->isChecked());
    EXPECT_EQ(Control<QLineEdit>(window, "WebSocketAddressBox")->text(), "127.0.0.1:38088");
    EXPECT_FALSE(Control<QLineEdit>(window, "WebSocketAddressBox")->isEnabled());
    const std::string file = ReadFile(Folder.SettingsFile());
    EXPECT_NE(file.find(R"("WebSocketAddress":"127.0.0.1:38088")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("ExpertMode":false)"), std::string::npos) << file;
}

TEST_F(SettingsWindowTest, ASecondClickWhileOpenOpensNoSecondWindowAndTheStopClosesIt) {
    ASSERT_EQ(StartPlugin(), 0);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    Driver->SelectMenuItem(0, SettingsMenu);
    Settle();
    QCoreApplication::processEvents();
    EXPECT_EQ(CountWindows(Title), 1);

    StopWhilePumping();
    EXPECT_TRUE(PumpUntil([] { return CountWindows(Title) == 0; }));
    EXPECT_NE(ReadFile(Folder.SettingsFile()).find("Is3dEnabled"), std::string::npos);
}

TEST(SettingsWindowText, OriginLinesSplitAtEveryKindOfLineBreakKeepingEmptyOnes) {
    EXPECT_EQ(SettingsWindow::SplitLines(""), std::vector<std::string>{""});
    EXPECT_EQ(SettingsWindow::SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SettingsWindow::SplitLines("a\rb\nc\r\n"), (std::vector<std::string>{"a", "b", "c", ""}));
}

} // namespace
} // namespace Tralvonic::Test
