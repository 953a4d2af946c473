#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QComboBox;
class QListWidget;

// "Adapters": the adapters summed as "Multiple adapters" (check boxes, the first six
// adapters) and the monitored adapter.
class AdaptersPage : public OptionsPage {
    Q_OBJECT
public:
    AdaptersPage(OptionsHost& host, QWidget* parent = nullptr);
    // Lists the adapters found now.
    void fill() override;
    // A changed selection of summed adapters reloads the logs.
    void preview() override;

    QListWidget* summed_list() const { return adapter_list_; }
    QComboBox* monitored_list() const { return monitored_; }

private:
    OptionsHost& host_;
    QListWidget* adapter_list_ = nullptr;
    QComboBox* monitored_ = nullptr;
    bool summed_changed_ = false;
};
