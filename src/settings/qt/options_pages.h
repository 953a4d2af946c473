#pragma once

#include <QString>
#include <functional>
#include <vector>

class OptionsHost;
class OptionsPage;
class QWidget;

// One node of the options dialog's page tree: its caption, the caption of the node it hangs
// under (empty for a top node) and how the page is made.
struct OptionsPageEntry {
    QString caption;
    QString parent;
    std::function<OptionsPage*(OptionsHost& host, QWidget* parent)> make;
};

// Every page of the options dialog, in tree order. A new page is one more entry here.
std::vector<OptionsPageEntry> options_pages();
