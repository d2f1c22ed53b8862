// MessageBoxW on the caller's thread as the plugin shows it: the user's answer comes back, and
// the stop answers a box that is still open for the user (No, or Ok where that is the only
// button) within a second.

#include "core/GuiThread.h"
#include "core/TrackedMessageBox.h"

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

TEST(Win32MessageBox, TheUsersAnswerComesBack) {
    GuiThread::Open();
    auto answer = ShowBoxElsewhere(MB_YESNO | MB_ICONINFORMATION, IDNO);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleWindow(BoxCaption)) != nullptr; }));
    SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    ASSERT_EQ(answer.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(answer.get(), IDYES);
}

TEST(Win32MessageBox, TheStopAnswersEveryOpenBoxForTheUserAndRefusesNewOnes) {
    GuiThread::Open();
    auto question = ShowBoxElsewhere(MB_YESNO | MB_ICONINFORMATION, IDNO);
    auto notice = ShowBoxElsewhere(MB_OK | MB_ICONERROR, IDOK);
    ASSERT_TRUE(WaitUntil([] { return CountWindows(BoxCaption) == 2; }));

    const auto start = Clock::now();
    GuiThread::Close();
    EXPECT_LT(Clock::now() - start, StopLimit);
    ASSERT_EQ(question.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(question.get(), IDNO);
    ASSERT_EQ(notice.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(notice.get(), IDOK);
    EXPECT_EQ(CountWindows(BoxCaption), 0);

    EXPECT_EQ(ShowTrackedMessageBox(BoxCaption, L"Too late", MB_YESNO, IDNO), IDNO);
    EXPECT_EQ(CountWindows(BoxCaption), 0);
    GuiThread::Open();
}

} // namespace
} // namespace Tralvonic::Test
