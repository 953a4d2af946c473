#include "platform/win32/win32_service.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/win32/win32_text.h"

namespace {

// The manager calls the service's main function without a context: this is how it finds
// the run it is to start, the one value that the callback's signature forces to live
// outside any object. Set before the dispatcher starts, cleared when it returns.
std::atomic<ServiceRun*> dispatched_run{nullptr};

struct Handle {
    SC_HANDLE h = nullptr;
    explicit Handle(SC_HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != nullptr) ::CloseServiceHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    explicit operator bool() const { return h != nullptr; }
};

struct Status {
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status = {};
    void report(DWORD state, DWORD exit_code = NO_ERROR) {
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
        status.dwWin32ExitCode = exit_code;
        status.dwWaitHint = state == SERVICE_STOP_PENDING ? 30000 : 0;
        ++status.dwCheckPoint;
        ::SetServiceStatus(handle, &status);
    }
};

DWORD WINAPI control_handler(DWORD control, DWORD, LPVOID, LPVOID context) {
    auto* s = static_cast<Status*>(context);
    if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
        s->report(SERVICE_STOP_PENDING);
        if (ServiceRun* run = dispatched_run.load()) run->stop();
        return NO_ERROR;
    }
    return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI service_main(DWORD argc, LPWSTR* argv) {
    Status s;
    s.handle = ::RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", control_handler, &s);
    if (s.handle == nullptr) return;
    s.report(SERVICE_RUNNING);
    ServiceRun* run = dispatched_run.load();
    const int code = run != nullptr ? run->run() : 1;
    s.report(SERVICE_STOPPED, code == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR);
}

}  // namespace

bool run_as_service(ServiceRun& service, const std::string& name) {
    std::wstring service_name = widen(name);
    dispatched_run = &service;
    SERVICE_TABLE_ENTRYW table[] = {{service_name.data(), service_main}, {nullptr, nullptr}};
    const bool ran = ::StartServiceCtrlDispatcherW(table) != FALSE;
    dispatched_run = nullptr;
    return ran;
}

Win32ServiceManager::Win32ServiceManager(std::string command, std::string name)
    : command_(std::move(command)), name_(std::move(name)) {}

bool Win32ServiceManager::install() {
    failure_.clear();
    Handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        failure_ = system_error_text(::GetLastError());
        return false;
    }
    const std::wstring name = widen(name_);
    Handle service(::CreateServiceW(manager.h, name.c_str(), name.c_str(), SERVICE_QUERY_STATUS,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                    widen(command_).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) failure_ = system_error_text(::GetLastError());
    return static_cast<bool>(service);
}

bool Win32ServiceManager::uninstall() {
    failure_.clear();
    Handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    Handle service(manager ? ::OpenServiceW(manager.h, widen(name_).c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)
                           : nullptr);
    if (!service) {
        failure_ = system_error_text(::GetLastError());
        return false;
    }
    // A running service is stopped first; it goes once its process has ended.
    SERVICE_STATUS status = {};
    ::ControlService(service.h, SERVICE_CONTROL_STOP, &status);
    if (!::DeleteService(service.h)) {
        failure_ = system_error_text(::GetLastError());
        return false;
    }
    return true;
}

bool Win32ServiceManager::listed(bool active_only) {
    Handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return false;
    const DWORD state = active_only ? SERVICE_ACTIVE : SERVICE_STATE_ALL;
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    std::vector<unsigned char> buffer;
    const std::wstring wanted = widen(name_);
    for (;;) {
        const BOOL done = ::EnumServicesStatusExW(manager.h, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, state,
                                                  buffer.empty() ? nullptr : buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr);
        if (!done && ::GetLastError() != ERROR_MORE_DATA) return false;
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            if (entries[i].lpDisplayName != nullptr && wanted == entries[i].lpDisplayName) return true;
        if (done) return false;
        buffer.resize(buffer.size() + needed);
    }
}

bool Win32ServiceManager::is_installed() { return listed(false); }
bool Win32ServiceManager::is_running() { return listed(true); }

void Win32ServiceManager::stop() {
    Handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    Handle service(manager ? ::OpenServiceW(manager.h, widen(name_).c_str(), SERVICE_STOP) : nullptr);
    SERVICE_STATUS status = {};
    if (service) ::ControlService(service.h, SERVICE_CONTROL_STOP, &status);
}

void Win32ServiceManager::start_if_enabled() {
    Handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    Handle service(manager ? ::OpenServiceW(manager.h, widen(name_).c_str(), SERVICE_START | SERVICE_QUERY_CONFIG)
                           : nullptr);
    if (!service) return;
    DWORD needed = 0;
    ::QueryServiceConfigW(service.h, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed == 0 || !::QueryServiceConfigW(service.h, config, needed, &needed)) return;
    if (config->dwStartType == SERVICE_AUTO_START) ::StartServiceW(service.h, 0, nullptr);
}
