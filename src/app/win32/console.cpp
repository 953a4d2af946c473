#include "app/win32/console.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>

#include "app/win32/windowless_run.h"
#include "platform/win32/win32_text.h"

namespace {

bool usable(DWORD which) {
    const HANDLE h = ::GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// The console's handler carries no context: this is how it finds the run to stop, set while
// the run lives.
std::atomic<StopSwitch*> console_stop{nullptr};

BOOL WINAPI console_control(DWORD) {
    StopSwitch* stop = console_stop.load();
    if (stop == nullptr) return FALSE;
    stop->request();
    return TRUE;
}

}  // namespace

std::vector<std::string> command_arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return args;
    for (int i = 1; i < count; ++i) args.push_back(narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

bool attach_console() {
    const bool out = usable(STD_OUTPUT_HANDLE);
    const bool err = usable(STD_ERROR_HANDLE);
    if ((!out || !err) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* reopened = nullptr;
        if (!out) freopen_s(&reopened, "CONOUT$", "w", stdout);
        if (!err) freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return usable(STD_OUTPUT_HANDLE);
}

void show_message_window(const std::string& title, const std::string& text, bool error) {
    ::MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(),
                  (error ? MB_ICONERROR : MB_ICONINFORMATION) | MB_SYSTEMMODAL);
}

MsgResult message_box_over(void* owner, const MessageBoxRequest& r) {
    UINT type = r.buttons == MsgButtons::yes_no ? MB_YESNO : (r.buttons == MsgButtons::ok_cancel ? MB_OKCANCEL : MB_OK);
    if (r.icon == MsgIcon::error) type |= MB_ICONERROR;
    if (r.icon == MsgIcon::warning) type |= MB_ICONWARNING;
    if (r.icon == MsgIcon::information) type |= MB_ICONINFORMATION;
    if (r.icon == MsgIcon::question) type |= MB_ICONQUESTION;
    if (r.system_modal) type |= MB_SYSTEMMODAL;
    const int answer = ::MessageBoxW(static_cast<HWND>(owner), widen(r.text).c_str(), widen(r.title).c_str(), type);
    if (answer == IDYES) return MsgResult::yes;
    if (answer == IDNO) return MsgResult::no;
    return answer == IDCANCEL ? MsgResult::cancel : MsgResult::ok;
}

void stop_on_console_close(StopSwitch* stop) {
    if (stop != nullptr) {
        console_stop.store(stop);
        ::SetConsoleCtrlHandler(console_control, TRUE);
    } else {
        ::SetConsoleCtrlHandler(console_control, FALSE);
        console_stop.store(nullptr);
    }
}
