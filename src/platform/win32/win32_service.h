#pragma once

#include <functional>
#include <string>

#include "service/service_control.h"

// Kelvanto as a service of the service control manager: service and display name
// "Kelvanto", started automatically, running the program given (with its arguments).
class Win32ServiceManager : public ServiceManager {
public:
    // `command` is the quoted program path and its arguments, as the manager starts it.
    explicit Win32ServiceManager(std::string command, std::string name = "Kelvanto");
    ~Win32ServiceManager() override;
    Win32ServiceManager(const Win32ServiceManager&) = delete;
    Win32ServiceManager& operator=(const Win32ServiceManager&) = delete;
    std::string display_name() const override { return name_; }
    bool install() override;
    bool uninstall() override;
    std::string failure_reason() const override { return failure_; }
    bool is_installed() override;
    bool is_running() override;
    void stop() override;
    void start_if_enabled() override;

private:
    // Whether the service is installed (and not stopped).
    bool query(bool running_only);
    void* open(unsigned long access);  // the service's handle, nullptr when it cannot be opened
    void* manager_ = nullptr;
    unsigned long manager_error_ = 0;  // why no service can be created
    std::string command_;
    std::string name_;
    std::string failure_;
};

// What the service run does. `run` is the program's loop: it runs on the service's thread
// and returns the exit code when the program has shut down. `stop` is called on another
// thread when the manager asks the service to stop (or the system shuts down): it must
// ask the loop to shut down in order (post it a message) and return at once.
struct ServiceRun {
    std::function<int()> run;
    std::function<void()> stop;
};

// Hands the process to the service control manager when it started the process: returns
// after the service has stopped, true. False at once when the process was not started as
// a service (a desktop start), so the program goes on as usual.
bool run_as_service(ServiceRun& service, const std::string& name = "Kelvanto");
