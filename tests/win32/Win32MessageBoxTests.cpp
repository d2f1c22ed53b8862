// MessageBoxW on the caller's thread as the plugin shows it: the user's answer comes back, and
// the stop answers a box that is still open for the user (No, or Ok where that is the only
// button) within a second.

#include "core/GuiThread.h"
#include "core/Win32MessageBox.h"

#include "tests/win32/Screenshot.h"
#include "tests/win32/Win32Input.h"

#include <gtest/gtest.h>

#include <future>

namespace Tralvonic::Test {
namespace {

constexpr auto StopLimit = std::chrono::seconds(1);
constexpr std::wstring_view BoxCaption = L"Tralvonic";

std::future<int> ShowBoxElsewhere(unsigned int flags, int stopAnswer) {
    return std::async(std::launch::async,
                      [=] { return ShowTrackedMessageBox(BoxCaption, L"Download now?", flags, stopAnswer); });
}

TEST(Win32MessageBox, TheUsersAnswerComesBackAndTheStopAnswersAnOkBoxWithOk) {
    GuiThread::Open();
    auto yes = ShowBoxElsewhere(MB_YESNO | MB_ICONINFORMATION, IDNO);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleWindow(BoxCaption)) != nullptr; }));
    SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    ASSERT_EQ(yes.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(yes.get(), IDYES);

    auto ok = ShowBoxElsewhere(MB_OK | MB_ICONERROR, IDOK);
    ASSERT_TRUE(WaitUntil([] { return VisibleWindow(BoxCaption) != nullptr; }));
    const auto start = Clock::now();
    GuiThread::Close();
    EXPECT_LT(Clock::now() - start, StopLimit);
    ASSERT_EQ(ok.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(ok.get(), IDOK);
    GuiThread::Open();
}

} // namespace
} // namespace Tralvonic::Test
