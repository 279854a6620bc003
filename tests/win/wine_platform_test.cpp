// Drives the Windows layer for real (hooks, notifications, code page, loader, window move) and checks its
// results against the cases that the Linux test of the portable code checks too. Built with MinGW-w64, run under
// Wine with LC_ALL=zh_CN.UTF-8 (code page 936). Prints one line per check; the exit code is 1 when any failed.
#include "buttons/keyhook.h"
#include "platform/devicebroadcast.h"
#include "platform/devicepathtext.h"
#include "platform/win32/codepage.h"
#include "platform/win32/devicenotification.h"
#include "platform/win32/keyboardhook.h"
#include "platform/win32/libraryload.h"
#include "platform/win32/pipepeer.h"
#include "platform/win32/windowmove.h"
#include "tests/platform/platformcases.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace PlatformCases;

namespace {

constexpr DWORD DeadlineMs = 5000;
constexpr DWORD ErrorModNotFound = 126;

int checks = 0;
int failures = 0;

void check(bool ok, const std::string &what, const std::string &detail = std::string())
{
    ++checks;
    if (ok) {
        std::printf("ok   %s\n", what.c_str());
        return;
    }
    ++failures;
    std::printf("FAIL %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
}

std::string hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

std::string hexBytes(const std::string &bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::string narrow(const std::u16string &text)
{
    std::string result;
    for (char16_t unit : text)
        result += unit < 0x80 ? char(unit) : '?';
    return result;
}

std::wstring wide(const std::u16string &text)
{
    return std::wstring(text.begin(), text.end());
}

// Runs this thread's message loop until `done` holds; false when the deadline passes first. The low-level hook
// is called from this loop.
bool pumpUntil(const std::function<bool()> &done)
{
    const ULONGLONG deadline = GetTickCount64() + DeadlineMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        // Key state changes wake nothing, so look again at least every few milliseconds.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::min<ULONGLONG>(deadline - now, 5)), QS_ALLINPUT);
    }
}

bool inject(const KeyStroke &stroke)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = stroke.key.vk;
    input.ki.dwFlags = (stroke.up ? KEYEVENTF_KEYUP : 0) | (stroke.key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return SendInput(1, &input, sizeof input) == 1;
}

bool keyIsDown(std::uint8_t vk)
{
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

std::string describe(const std::vector<HookMessage> &messages)
{
    std::string text;
    for (const HookMessage &message : messages)
        text += (text.empty() ? "" : " ") + hex(message.message) + "/" + hex(message.vk);
    return text;
}

std::string describe(const std::vector<RecordedKey> &keys)
{
    std::string text;
    for (const RecordedKey &key : keys)
        text += (text.empty() ? "" : " ") + hex(key.vk) + (key.up ? "^" : "v");
    return text;
}

// Injects the strokes one at a time under an installed hook, waiting for each to reach it. Returns the messages
// the hook saw; `leaked` lists the keys that went down for the system all the same.
std::vector<HookMessage> strokeUnderHook(const KeyCase &keyCase, Win32::KeyboardHook &hook,
                                         const std::function<void(unsigned, std::uint8_t)> &take,
                                         std::string &leaked)
{
    std::vector<HookMessage> seen;
    const bool installed = hook.install([&](unsigned message, std::uint8_t vk) {
        seen.push_back({ message, vk });
        take(message, vk);
    });
    if (!installed) {
        leaked = "hook refused, error " + std::to_string(hook.lastError());
        return seen;
    }
    for (const KeyStroke &stroke : keyCase.strokes) {
        const std::size_t before = seen.size();
        if (!inject(stroke) || !pumpUntil([&] { return seen.size() > before; }))
            break;
        if (!stroke.up && keyIsDown(stroke.key.vk))
            leaked += hex(stroke.key.vk) + " ";
    }
    hook.uninstall();
    return seen;
}

void testEditorHook(const KeyCase &keyCase)
{
    const std::string name = "editor hook, " + std::string(keyCase.name);
    Win32::KeyboardHook hook;
    ComboKeyTracker tracker;
    std::uint8_t modifiers = 0;
    std::uint8_t vkeyCode = 0;
    int updates = 0;
    std::string leaked;
    const std::vector<HookMessage> seen = strokeUnderHook(keyCase, hook, [&](unsigned message, std::uint8_t vk) {
        if (tracker.apply(message, vk, modifiers, vkeyCode))
            ++updates;
    }, leaked);

    check(seen == keyCase.messages, name + ": messages",
          "got " + describe(seen) + ", expected " + describe(keyCase.messages));
    check(leaked.empty(), name + ": every key swallowed", leaked.empty() ? "" : "reached the system: " + leaked);
    check(modifiers == keyCase.modifiers && vkeyCode == keyCase.vkeyCode && updates == keyCase.editorUpdates,
          name + ": combination",
          "modifiers " + hex(modifiers) + " key " + hex(vkeyCode) + " updates " + std::to_string(updates)
              + ", expected " + hex(keyCase.modifiers) + " " + hex(keyCase.vkeyCode) + " "
              + std::to_string(keyCase.editorUpdates));
}

void testRecorderHook(const KeyCase &keyCase)
{
    const std::string name = "recorder hook, " + std::string(keyCase.name);
    Win32::KeyboardHook hook;
    MacroKeyTracker tracker;
    tracker.start();
    std::vector<RecordedKey> recorded;
    std::string leaked;
    const std::vector<HookMessage> seen = strokeUnderHook(keyCase, hook, [&](unsigned message, std::uint8_t vk) {
        if (const auto key = tracker.apply(message, vk))
            recorded.push_back({ key->vk, key->up });
    }, leaked);

    check(seen == keyCase.messages, name + ": messages",
          "got " + describe(seen) + ", expected " + describe(keyCase.messages));
    check(leaked.empty(), name + ": every key swallowed", leaked.empty() ? "" : "reached the system: " + leaked);
    check(recorded == keyCase.recorded, name + ": events",
          "got " + describe(recorded) + ", expected " + describe(keyCase.recorded));
}

// Without a hook an injected key does change the system's key state: the swallow checks above can fail.
void testKeysReachSystemWithoutHook()
{
    const bool pressed = inject(down(KeyC)) && pumpUntil([] { return keyIsDown(KeyC.vk); });
    const bool released = inject(up(KeyC)) && pumpUntil([] { return !keyIsDown(KeyC.vk); });
    check(pressed && released, "without a hook a key reaches the system");
}

void testNewestHookGetsKeys()
{
    Win32::KeyboardHook editor;
    Win32::KeyboardHook recorder;
    std::vector<HookMessage> editorSeen;
    std::vector<HookMessage> recorderSeen;
    editor.install([&](unsigned message, std::uint8_t vk) { editorSeen.push_back({ message, vk }); });
    recorder.install([&](unsigned message, std::uint8_t vk) { recorderSeen.push_back({ message, vk }); });

    inject(down(KeyA));
    pumpUntil([&] { return !recorderSeen.empty(); });
    check(recorderSeen.size() == 1 && editorSeen.empty(), "of two hooks the newer gets the key",
          "newer " + describe(recorderSeen) + ", older " + describe(editorSeen));

    recorder.uninstall();
    inject(up(KeyA));
    pumpUntil([&] { return !editorSeen.empty(); });
    check(recorderSeen.size() == 1 && editorSeen == std::vector<HookMessage> { { KeyUp, KeyA.vk } },
          "after the newer is removed the older gets the key",
          "newer " + describe(recorderSeen) + ", older " + describe(editorSeen));
}

void testHandlerEndsItsHook()
{
    Win32::KeyboardHook hook;
    int calls = 0;
    hook.install([&](unsigned, std::uint8_t) {
        ++calls;
        hook.uninstall();
    });
    inject(down(KeyD));
    pumpUntil([&] { return calls > 0; });
    const bool swallowed = !keyIsDown(KeyD.vk);
    inject(up(KeyD));
    const bool reachedSystem = inject(down(KeyB)) && pumpUntil([] { return keyIsDown(KeyB.vk); });
    inject(up(KeyB));
    pumpUntil([] { return !keyIsDown(KeyB.vk); });
    check(calls == 1 && !hook.isInstalled() && swallowed && reachedSystem,
          "a handler that removes its hook: its key swallowed, the next one passes",
          "calls " + std::to_string(calls) + (swallowed ? "" : ", first key leaked")
              + (reachedSystem ? "" : ", next key stopped"));

    auto owned = std::make_unique<Win32::KeyboardHook>();
    calls = 0;
    owned->install([&](unsigned, std::uint8_t) {
        ++calls;
        owned.reset();
    });
    inject(down(KeyD));
    pumpUntil([&] { return calls > 0; });
    check(calls == 1 && !owned && !keyIsDown(KeyD.vk), "a handler that destroys its hook");
    inject(up(KeyD));
}

std::vector<DeviceBroadcastRecord> deliveredChanges;
std::vector<std::pair<WPARAM, LPARAM>> systemCommands;

LRESULT CALLBACK testWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto change = Win32::deviceChangeOfMessage(message, wParam, lParam))
        deliveredChanges.push_back(*change);
    if (message == WM_SYSCOMMAND) {
        // Recorded only: the system's own move loop would wait for a mouse button that never comes.
        systemCommands.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createMessageWindow()
{
    static const ATOM windowClass = [] {
        WNDCLASSW description = {};
        description.lpfnWndProc = testWindowProcedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"TarnoLayerTest";
        return RegisterClassW(&description);
    }();
    if (!windowClass)
        return nullptr;
    return CreateWindowExW(0, L"TarnoLayerTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void testNotificationFilter()
{
    const DEV_BROADCAST_DEVICEINTERFACE_W filter = Win32::hidInterfaceFilter();
    check(filter.dbcc_size == 32 && sizeof filter == 32, "filter size 32", std::to_string(filter.dbcc_size));
    check(filter.dbcc_devicetype == DeviceBroadcast::InterfaceType && filter.dbcc_reserved == 0,
          "filter: device interfaces");
    check(std::memcmp(&filter.dbcc_classguid, HidInterfaceClass, 16) == 0, "filter: HID interface class");
    check(filter.dbcc_name[0] == 0, "filter: no name");
}

void testNotificationRegistration(HWND window)
{
    DWORD error = 0;
    HDEVNOTIFY registration = Win32::registerHidInterfaceNotifications(window, error);
    check(registration != nullptr && error == 0, "registration on a message-only window",
          "error " + std::to_string(error));
    check(Win32::unregisterDeviceNotifications(registration), "registration removed");

    HWND gone = createMessageWindow();
    DestroyWindow(gone);
    HDEVNOTIFY refused = Win32::registerHidInterfaceNotifications(gone, error);
    check(refused == nullptr && error != 0,
          "registration on a destroyed window refused with the system's code " + std::to_string(error));
    if (refused)
        Win32::unregisterDeviceNotifications(refused);
}

// Each record goes to the window as the system would send it; the layer reads it in the window procedure.
void testBroadcasts(HWND window)
{
    for (const BroadcastCase &broadcast : broadcastCases()) {
        const std::string name = "broadcast, " + std::string(broadcast.name);
        deliveredChanges.clear();
        const LPARAM record = broadcast.record.empty() ? 0 : reinterpret_cast<LPARAM>(broadcast.record.data());
        SendMessageW(window, WM_DEVICECHANGE, broadcast.event, record);
        if (!broadcast.reported) {
            check(deliveredChanges.empty(), name + ": ignored");
            continue;
        }
        if (deliveredChanges.size() != 1) {
            check(false, name, std::to_string(deliveredChanges.size()) + " changes");
            continue;
        }
        const DeviceBroadcastRecord &change = deliveredChanges.front();
        const bool arrival = change.kind == DeviceBroadcastRecord::Arrival;
        check(arrival == broadcast.arrival && change.deviceType == broadcast.deviceType
                  && change.interfaceName == broadcast.interfaceName,
              name,
              std::string(arrival ? "arrival" : "removal") + " type " + std::to_string(change.deviceType) + " name \""
                  + narrow(change.interfaceName) + "\", expected \"" + narrow(broadcast.interfaceName) + "\"");
    }
}

void testDevicePaths()
{
    const UINT codePage = GetACP();
    check(codePage == 936, "ANSI code page 936",
          "code page " + std::to_string(codePage) + " (run with LC_ALL=zh_CN.UTF-8)");
    for (const PathCase &pathCase : pathCases()) {
        const std::wstring path = wide(pathCase.path);
        const std::string kept = capDevicePathText(Win32::ansiCodePageText(path.c_str()));
        check(kept == pathCase.cp936 && kept.size() < DevicePathBytes, "device path, " + std::string(pathCase.name),
              std::to_string(kept.size()) + " bytes " + hexBytes(kept.substr(0, 24)) + "..."
                  + hexBytes(kept.size() > 8 ? kept.substr(kept.size() - 8) : kept) + ", expected "
                  + std::to_string(pathCase.cp936.size()) + " bytes");
    }
    check(Win32::ansiCodePageText(nullptr).empty(), "device path, none");
}

void testLibraryLoad()
{
    const unsigned long missing = Win32::libraryLoadError(L"tarno.dll");
    check(missing == ErrorModNotFound, "missing tarno.dll: the start-up box shows " + std::to_string(missing),
          "expected " + std::to_string(ErrorModNotFound));
    check(Win32::libraryLoadError(L"kernel32.dll") == 0, "a present library loads");
}

void testWindowMove(HWND window)
{
    systemCommands.clear();
    SetCapture(window);
    const bool captured = GetCapture() == window;
    const bool started = Win32::startWindowMove(window);
    const bool released = GetCapture() == nullptr;
    check(captured && started && released, "window move releases the mouse capture");
    check(systemCommands.size() == 1 && systemCommands.front().first == 0xF012 && systemCommands.front().second == 0,
          "window move sends SC_MOVE with the caption hit code",
          systemCommands.empty() ? "nothing sent" : hex(unsigned(systemCommands.front().first)));
}

} // namespace

// Both ends of a named pipe in this process: each finds its peer runs as this user.
void testPipePeer()
{
    const std::wstring sid = Win32::currentUserSid();
    check(sid.rfind(L"S-1-", 0) == 0, "user security id", std::string(sid.begin(), sid.end()));
    const std::wstring name = L"\\\\.\\pipe\\tarno-peer-test-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    HANDLE client = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    check(server != INVALID_HANDLE_VALUE && client != INVALID_HANDLE_VALUE, "pipe made",
          "error " + std::to_string(GetLastError()));
    check(Win32::pipePeerIsSameUser(server), "pipe: the server finds its client is this user");
    check(Win32::pipePeerIsSameUser(client), "pipe: the client finds its server is this user");
    check(!Win32::pipePeerIsSameUser(INVALID_HANDLE_VALUE), "no pipe: no peer");
    CloseHandle(client);
    CloseHandle(server);
}

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    testKeysReachSystemWithoutHook();
    for (const KeyCase &keyCase : keyCases()) {
        testEditorHook(keyCase);
        testRecorderHook(keyCase);
    }
    testNewestHookGetsKeys();
    testHandlerEndsItsHook();

    HWND window = createMessageWindow();
    check(window != nullptr, "message-only window", "error " + std::to_string(GetLastError()));
    if (window) {
        testNotificationFilter();
        testNotificationRegistration(window);
        testBroadcasts(window);
        testWindowMove(window);
        DestroyWindow(window);
    }

    testDevicePaths();
    testLibraryLoad();
    testPipePeer();

    std::printf("%d checks, %d failed\n", checks, failures);
    return failures == 0 ? 0 : 1;
}
