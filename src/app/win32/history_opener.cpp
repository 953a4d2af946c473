#include "app/win32/history_opener.h"

#include "platform/win32/windows_api.h"

#include "app/win32/console.h"
#include "core/application.h"
#include "core/history_window_context.h"
#include "history/win32/frm_history.h"

// Message boxes over the history window while it is open, else over the main window.
class HistoryDialogs : public Dialogs {
public:
    explicit HistoryDialogs(void* owner) : owner_(owner) {}
    const frmHistory* window = nullptr;
    MsgResult message_box(const MessageBoxRequest& r) override {
        void* over = window != nullptr && window->is_open() ? window->handle() : owner_;
        return message_box_over(over, r);
    }

private:
    void* owner_;
};

HistoryOpener::HistoryOpener(Application& app, void* owner) : app_(app), owner_(owner) {}

HistoryOpener::~HistoryOpener() = default;

void HistoryOpener::open() {
    if (!window_) {
        ProgramState& state = app_.state();
        Services& program = app_.services();
        dialogs_ = std::make_unique<HistoryDialogs>(owner_);
        // The program's services, with the history window's message boxes.
        services_ = std::make_unique<Services>(Services{program.tables, program.clock, *dialogs_, program.locale,
                                                        program.settings_store});
        Services& services = *services_;
        HistoryWindowContext context = history_window_context(state, services);
        window_ = std::make_unique<frmHistory>(std::move(context), owner_);
        dialogs_->window = window_.get();
    }
    window_->open();
}
