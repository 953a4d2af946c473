#pragma once

#include <QDialog>
#include <QPointer>
#include <vector>

#include "settings/qt/options_host.h"

class OptionsPage;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

// The "Settings" dialog: a tree of pages on the left, one page on the right, "&OK", "Cancel"
// and "&Apply". Every change takes effect at once; OK and Apply store, Cancel reloads. The
// pages (options_pages()) build their own controls; the dialog fills, previews, checks and
// stores them.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(OptionsHost& host, QWidget* parent = nullptr);

    // Fills every page from the in-memory settings.
    void fill();
    void ok();
    void apply();
    void cancel();
    // Shows the page with this caption ("Graph", "Reset", ...).
    void show_page(const QString& caption);
    QString current_page() const;
    // The page with this caption, or nullptr.
    OptionsPage* page(const QString& caption) const;
    QPushButton* apply_button() const { return cmdApply; }
    // Turns to a page and selects its field labelled `caption`, as a refused check does.
    void show_field(const QString& page, const QString& caption);
    // The innermost open window of the dialog: the colour dialog, a preset name window, the
    // value dialog, the rule editor, else the dialog itself.
    QWidget* front_window();
    // Adapters came, went or changed status: the open adapter lists are read again.
    void adapters_changed();

    // Keeps only the digits of a number box's text.
    static QString digits_only(const QString& text);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Page {
        QString caption;
        OptionsPage* page;
    };

    void build_pages();
    void page_changed(OptionsPage* page);
    void store(bool close_after);
    void close_dialog();

    OptionsHost& host_;
    QTreeWidget* tree_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
    std::vector<Page> pages_;
    bool closing_ = false;
    QPointer<QWidget> last_field_;  // the field of a page that had the focus last
};
