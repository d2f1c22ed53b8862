#include "Window/MenuWindowsWin32.h"

#include "Window/NativeMenuWindows.h"
#include "Window/SettingsWindowWin32.h"
#include "Window/TroubleWindowWin32.h"
#include "core/GuiThread.h"
#include "core/LastResort.h"
#include "core/WideText.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include <objbase.h>

// A window, its thread and its end: the frame window is made from a class registered for
// this window alone and unregistered once it has gone, so that no class of the plugin keeps a
// window procedure in the library after it is unloaded.

namespace Tralvonic {

namespace {

constexpr UINT RunHandOversMessage = WM_APP + 1;
// How long a host thread waits for the window's thread to take an answer. The work takes
// moments; a window thread that is held up longer (inside a host call that itself waits for
// the waiting host thread, say) must not freeze the host, and the work still runs later.
constexpr auto HandOverTimeout = std::chrono::seconds(2);
constexpr DWORD FrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FrameExtendedStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
// The resource id of the manifest that asks for version 6 of the common controls.
constexpr WORD VisualStylesManifest = 2;

struct HandOverItem {
    std::function<void()> Work;
    std::atomic<bool> Done{false};
};

// What the window's thread shares with whoever closes the window or hands work to it.
class WindowLink {
public:
    // Window thread, first of all.
    void SetThread() { _thread.store(GetCurrentThreadId()); }

    // Window thread, right after the window is made: false when a Close came first.
    bool Attach(HWND window) {
        std::lock_guard lock(_mutex);
        if (_closeRequested) {
            return false;
        }
        _window = window;
        return true;
    }

    // Window thread, when the window goes: pending and later hand-overs are dropped, and
    // their waiters released.
    void Detach() {
        std::deque<std::shared_ptr<HandOverItem>> dropped;
        {
            std::lock_guard lock(_mutex);
            _ended = true;
            _window = nullptr;
            dropped.swap(_pending);
        }
        Release(dropped);
    }

    // Any thread.
    void RequestClose() {
        HWND window = nullptr;
        {
            std::lock_guard lock(_mutex);
            _closeRequested = true;
            window = _window;
        }
        if (window != nullptr) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }

    bool IsCloseRequested() {
        std::lock_guard lock(_mutex);
        return _closeRequested;
    }

    // Any thread: runs `work` on the window's thread and returns once it has run, or at once
    // when it never will (the window is closing or gone, or the plugin is stopping), or after
    // HandOverTimeout when the window's thread is held up.
    void HandOver(std::function<void()> work) {
        if (GetCurrentThreadId() == _thread.load()) {
            work();
            return;
        }
        if (GuiThread::IsClosed()) {
            return;
        }
        auto item = std::make_shared<HandOverItem>();
        item->Work = std::move(work);
        HWND window = nullptr;
        {
            std::lock_guard lock(_mutex);
            if (_ended || _closeRequested || _window == nullptr) {
                return;
            }
            _pending.push_back(item);
            window = _window;
        }
        if (PostMessageW(window, RunHandOversMessage, 0, 0) == FALSE) {
            Withdraw(item);
            return;
        }
        std::unique_lock lock(_mutex);
        _handedOver.wait_for(lock, HandOverTimeout, [&] { return item->Done.load(); });
    }

    // Window thread.
    void RunHandOvers() {
        std::deque<std::shared_ptr<HandOverItem>> items;
        {
            std::lock_guard lock(_mutex);
            items.swap(_pending);
        }
        for (const auto& item : items) {
            RunGuarded(item->Work);
        }
        Release(items);
    }

private:
    void Release(const std::deque<std::shared_ptr<HandOverItem>>& items) {
        if (items.empty()) {
            return;
        }
        {
            // Under the mutex, so that a waiter between its check and its sleep cannot miss it.
            std::lock_guard lock(_mutex);
            for (const auto& item : items) {
                item->Done.store(true);
            }
        }
        _handedOver.notify_all();
    }

    void Withdraw(const std::shared_ptr<HandOverItem>& item) {
        {
            std::lock_guard lock(_mutex);
            std::erase(_pending, item);
        }
        Release({item});
    }

    std::atomic<DWORD> _thread{0};
    std::mutex _mutex;
    std::condition_variable _handedOver;
    HWND _window = nullptr;                             // guarded by _mutex
    bool _closeRequested = false;                       // guarded by _mutex
    bool _ended = false;                                // guarded by _mutex
    std::deque<std::shared_ptr<HandOverItem>> _pending; // guarded by _mutex
};

// The window's own state, behind GWLP_USERDATA; window thread only.
struct Frame {
    Win32View* View;
    WindowLink* Link;
    // Where the keyboard was when the window lost the activation; it goes back there.
    HWND Focus = nullptr;
};

bool Handle(Frame& frame, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            frame.View->OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            // Escape closes the window, as it does a dialog.
            PostMessageW(window, WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    case WM_NEXTDLGCTL: {
        // A multi-line text box asks its parent for the next control on Tab, as a dialog's
        // own procedure would answer; the frame is no dialog, so it answers itself.
        const HWND next = LOWORD(lParam) != 0
                              ? reinterpret_cast<HWND>(wParam)
                              : GetNextDlgTabItem(window, GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (next != nullptr) {
            SetFocus(next);
        }
        return true;
    }
    case WM_CTLCOLORSTATIC:
        if (const HBRUSH brush =
                frame.View->OnStaticColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            frame.Focus = GetFocus();
            return false;
        }
        if (frame.Focus != nullptr && IsWindow(frame.Focus) != FALSE) {
            SetFocus(frame.Focus);
            return true;
        }
        return false;
    case WM_CLOSE:
        frame.View->OnClosing();
        DestroyWindow(window);
        return true;
    case WM_DESTROY:
        frame.Link->Detach();
        PostQuitMessage(0);
        return true;
    case RunHandOversMessage:
        frame.Link->RunHandOvers();
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (frame == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind through the system's frames above this one.
    bool handled = false;
    LRESULT result = 0;
    RunGuarded([&] { handled = Handle(*frame, window, message, wParam, lParam, result); });
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

// The window thread as a single-threaded apartment for as long as the window lives.
class Apartment {
public:
    Apartment() : _result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(_result)) {
            CoUninitialize();
        }
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    HRESULT _result;
};

// The manifest in the plugin's resources made active on the window thread, so that its
// controls are those of common controls 6 whatever the host's own manifest asks for. Without
// the resource the controls keep the classic look.
class VisualStyles {
public:
    VisualStyles() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(OwnModule(), path, MAX_PATH);
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path;
        request.hModule = OwnModule();
        request.lpResourceName = MAKEINTRESOURCEW(VisualStylesManifest);
        _context = CreateActCtxW(&request);
        if (_context != INVALID_HANDLE_VALUE) {
            _active = ActivateActCtx(_context, &_cookie) != FALSE;
        }
    }
    ~VisualStyles() {
        if (_active) {
            DeactivateActCtx(0, _cookie);
        }
        if (_context != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(_context);
        }
    }
    VisualStyles(const VisualStyles&) = delete;
    VisualStyles& operator=(const VisualStyles&) = delete;

private:
    HANDLE _context = INVALID_HANDLE_VALUE;
    ULONG_PTR _cookie = 0;
    bool _active = false;
};

class FrameClass {
public:
    FrameClass() : _name(L"Tralvonic.MenuWindow." + std::to_wstring(++lastNumber)) {
        WNDCLASSEXW frameClass{};
        frameClass.cbSize = sizeof(frameClass);
        frameClass.lpfnWndProc = FrameProcedure;
        frameClass.hInstance = OwnModule();
        frameClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        frameClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        frameClass.lpszClassName = _name.c_str();
        _registered = RegisterClassExW(&frameClass) != 0;
    }
    ~FrameClass() {
        if (_registered) {
            UnregisterClassW(_name.c_str(), OwnModule());
        }
    }
    FrameClass(const FrameClass&) = delete;
    FrameClass& operator=(const FrameClass&) = delete;

    const wchar_t* Name() const { return _name.c_str(); }

private:
    static inline std::atomic<unsigned> lastNumber{0};
    std::wstring _name;
    bool _registered = false;
};

// Destroys the window unless its loop has seen it go.
class WindowGuard {
public:
    explicit WindowGuard(HWND window) : _window(window) {}
    ~WindowGuard() {
        if (IsWindow(_window) != FALSE) {
            DestroyWindow(_window);
        }
    }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

private:
    HWND _window;
};

void RunMessageLoop(HWND window) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, the arrow keys and Escape move and close as in a dialog.
        if (IsDialogMessageW(window, &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

class Win32MenuWindow final : public IMenuWindow {
public:
    using MakeView = std::function<std::unique_ptr<Win32View>(TroubleWindow::ToWindowThread)>;

    explicit Win32MenuWindow(MakeView makeView) : _makeView(std::move(makeView)) {}

    void SetClosedCallback(std::function<void()> closed) override { _closed = std::move(closed); }

    void ShowModal() override {
        _link->SetThread();
        if (!_link->IsCloseRequested()) {
            const Apartment apartment;
            const VisualStyles styles;
            // A window that fails to be made still releases its waiters and reports its close.
            RunGuarded([this] { Run(); });
        }
        _link->Detach();
        if (_closed) {
            _closed();
        }
    }

    void Close() override { _link->RequestClose(); }

private:
    void Run() {
        const std::shared_ptr<WindowLink> link = _link;
        // Destroyed last of all, after its window and the window's class.
        const std::unique_ptr<Win32View> view =
            _makeView([link](std::function<void()> work) { link->HandOver(std::move(work)); });
        const FrameClass frameClass;
        Frame frame{view.get(), link.get()};
        const HWND window = CreateWindowExW(FrameExtendedStyle, frameClass.Name(),
                                            WideFromUtf8(view->Title()).c_str(), FrameStyle, CW_USEDEFAULT,
                                            CW_USEDEFAULT, 0, 0, nullptr, nullptr, OwnModule(), &frame);
        if (window == nullptr) {
            return;
        }
        const WindowGuard guard(window);
        if (!link->Attach(window)) {
            return;
        }
        FitAndCenter(window, view->Build(window));
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        if (const HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) {
            SetFocus(first);
        }
        RunMessageLoop(window);
    }

    MakeView _makeView;
    std::shared_ptr<WindowLink> _link = std::make_shared<WindowLink>();
    std::function<void()> _closed;
};

} // namespace

std::shared_ptr<IMenuWindow> Win32MenuWindowFactory::Create(MenuWindow kind) {
    if (GuiThread::IsClosed()) {
        // The plugin is stopping; the click came too late.
        return nullptr;
    }
    if (kind == MenuWindow::Settings) {
        return std::make_shared<Win32MenuWindow>(
            [](const TroubleWindow::ToWindowThread&) { return std::make_unique<Win32SettingsView>(); });
    }
    return std::make_shared<Win32MenuWindow>(
        [events = _events](TroubleWindow::ToWindowThread toWindowThread) {
            return std::make_unique<Win32TroubleView>(events, std::move(toWindowThread));
        });
}

std::shared_ptr<MenuWindowFactory> MakeNativeMenuWindowFactory(PermissionEvents events) {
    return std::make_shared<Win32MenuWindowFactory>(events);
}

} // namespace Tralvonic
