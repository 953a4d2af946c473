#pragma once

#include <memory>

class Application;
class frmHistory;
class HistoryDialogs;
struct Services;

// The main window's history window ("&History..."): made when first asked for, over the
// program's state; one at a time, brought to the front when asked for again. Its failures
// (an export file that cannot be written) are message boxes over the history window.
class HistoryOpener {
public:
    HistoryOpener(Application& app, void* owner);
    ~HistoryOpener();
    HistoryOpener(const HistoryOpener&) = delete;
    HistoryOpener& operator=(const HistoryOpener&) = delete;

    void open();

private:
    Application& app_;
    void* owner_;
    std::unique_ptr<HistoryDialogs> dialogs_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<frmHistory> window_;
};
