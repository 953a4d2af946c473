#include "platform/win32/win32_service.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/win32/win32_text.h"

namespace {

// The manager calls the service's main function without a context: this is how it finds
// the run it is to start, the one value that the callback's signature forces to live
// outside any object. Set before the dispatcher starts, cleared when it returns.
struct Dispatched {
    ServiceRun* run = nullptr;
    std::wstring name;
};
std::atomic<Dispatched*> dispatched{nullptr};

struct Handle {
    SC_HANDLE h = nullptr;
    explicit Handle(void* handle) : h(static_cast<SC_HANDLE>(handle)) {}
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
        if (Dispatched* d = dispatched.load()) d->run->stop();
        return NO_ERROR;
    }
    return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI service_main(DWORD, LPWSTR*) {
    Dispatched* d = dispatched.load();
    if (d == nullptr) return;
    Status s;
    s.handle = ::RegisterServiceCtrlHandlerExW(d->name.c_str(), control_handler, &s);
    if (s.handle == nullptr) return;
    s.report(SERVICE_RUNNING);
    const int code = d->run->run();
    s.report(SERVICE_STOPPED, code == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR);
}

}  // namespace

bool run_as_service(ServiceRun& service, const std::string& name) {
    Dispatched d{&service, widen(name)};
    dispatched = &d;
    SERVICE_TABLE_ENTRYW table[] = {{d.name.data(), service_main}, {nullptr, nullptr}};
    const bool ran = ::StartServiceCtrlDispatcherW(table) != FALSE;
    dispatched = nullptr;
    return ran;
}

Win32ServiceManager::Win32ServiceManager(std::string command, std::string name)
    : command_(std::move(command)), name_(std::move(name)) {
    // One connection for the object's life: a service created through it is seen at once
    // (Wine's manager shows it to other connections only a moment later). Creating services
    // needs an administrator; anyone may connect.
    manager_ = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (manager_ == nullptr) {
        manager_error_ = ::GetLastError();
        manager_ = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    }
}

Win32ServiceManager::~Win32ServiceManager() {
    if (manager_ != nullptr) ::CloseServiceHandle(static_cast<SC_HANDLE>(manager_));
}

bool Win32ServiceManager::install() {
    failure_.clear();
    if (manager_ == nullptr || manager_error_ != 0) {
        failure_ = system_error_text(manager_error_ != 0 ? manager_error_ : ::GetLastError());
        return false;
    }
    const std::wstring name = widen(name_);
    Handle service(::CreateServiceW(static_cast<SC_HANDLE>(manager_), name.c_str(), name.c_str(), SERVICE_QUERY_STATUS,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                    widen(command_).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) failure_ = system_error_text(::GetLastError());
    return static_cast<bool>(service);
}

bool Win32ServiceManager::uninstall() {
    failure_.clear();
    Handle service(open(SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
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

void* Win32ServiceManager::open(unsigned long access) {
    return manager_ == nullptr ? nullptr
                               : ::OpenServiceW(static_cast<SC_HANDLE>(manager_), widen(name_).c_str(), access);
}

bool Win32ServiceManager::query(bool running_only) {
    Handle service(open(SERVICE_QUERY_STATUS));
    if (!service) return false;
    SERVICE_STATUS status = {};
    if (!running_only) return true;
    return ::QueryServiceStatus(service.h, &status) && status.dwCurrentState != SERVICE_STOPPED;
}

bool Win32ServiceManager::is_installed() { return query(false); }
bool Win32ServiceManager::is_running() { return query(true); }

void Win32ServiceManager::stop() {
    Handle service(open(SERVICE_STOP));
    SERVICE_STATUS status = {};
    if (service) ::ControlService(service.h, SERVICE_CONTROL_STOP, &status);
}

void Win32ServiceManager::start_if_enabled() {
    Handle service(open(SERVICE_START | SERVICE_QUERY_CONFIG));
    if (!service) return;
    DWORD needed = 0;
    ::QueryServiceConfigW(service.h, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed == 0 || !::QueryServiceConfigW(service.h, config, needed, &needed)) return;
    if (config->dwStartType == SERVICE_AUTO_START) ::StartServiceW(service.h, 0, nullptr);
}
