#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/interface_table.h"
#include "platform/link_speed.h"
#include "platform/locale.h"
#include "platform/settings_backend.h"
#include "platform/settings_hooks.h"
#include "platform/mail_socket.h"
#include "platform/message_box.h"
#include "platform/notifier.h"
#include "platform/power.h"
#include "platform/program_messages.h"
#include "platform/shell.h"
#include "platform/sound.h"

// The platform interfaces the core works through. The application hands in the real
// implementations; tests hand in fakes.
struct Services {
    InterfaceTableReader& tables;
    Clock& clock;
    Dialogs& dialogs;
    const Locale* locale = nullptr;  // texts in the user's locale
    SettingsBackend* settings_store = nullptr;  // where the settings live; none: defaults only
    SettingsHooks* settings_hooks = nullptr;    // window reactions to a settings load or save
    Power* power = nullptr;                  // alert actions: reboot, shutdown
    Shell* shell = nullptr;                  // alert actions: open file, run program
    Sound* sound = nullptr;                  // alert actions and the message box
    LinkSpeed* link_speed = nullptr;         // connection speed of an adapter
    MailSocket* mail_socket = nullptr;       // the alert mail connection (sckMail)
    ProgramMessageBox* msg_box = nullptr;    // frmMsgBox
    ProgramMessages* messages = nullptr;     // lines on standard error (undelivered mail)
    Notifier* notifier = nullptr;            // alert actions: desktop notifications
};

// Calls from the update cycle out to the windows. Every hook does nothing by default.
class CycleHooks {
public:
    virtual ~CycleHooks() = default;
    // The adapter count or an adapter's status changed: refresh open adapter lists.
    virtual void adapter_lists_changed(int /*found*/) {}
    // A line for the program's log (standard error): something the user may want to know
    // that needs no answer.
    virtual void log_notice(const std::string& /*text*/) {}
    // Something the user is to be told once, in the window as well as in the program's log
    // (a line each).
    virtual void tell_user(const std::string& text) { log_notice(text); }
    virtual void update_tray() {}
    virtual void refresh_screen() {}
};
