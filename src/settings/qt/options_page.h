#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/option_page_decl.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
struct Settings;

// One page of the options dialog. A page builds its controls in its constructor, most of
// them with the add_ helpers below: each binds a control to an in-memory setting, fills it
// from the setting, writes the setting on every change and reports the change. The dialog
// then enables "&Apply", calls preview() and redraws the main window.
//
// The dialog drives every page through four calls: fill() when it opens and after Apply,
// preview() after each change, check() before OK and Apply store anything, store() after.
// Two more tell a page what happened elsewhere: other_page_changed() and adapters_changed().
class OptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit OptionsPage(QWidget* parent = nullptr);

    // The controls from the in-memory settings; changes made while filling are ignored.
    virtual void fill();
    // Shows a change of this page in the running program, beyond the redraw the dialog runs
    // after it (the item list, the window's translucency, the tray icon ...).
    virtual void preview() {}
    // Before OK and Apply store anything: false keeps the dialog open, and the page shows why.
    virtual bool check() { return true; }
    // After OK (`closing`) or Apply stored the settings: what the page keeps beyond them.
    virtual void store(bool /*closing*/) {}
    // Another page changed settings: shows what this page displays of them.
    virtual void other_page_changed() {}
    // Adapters came, went or changed status: lists of them are read again.
    virtual void adapters_changed() {}

    bool loading() const { return loading_ > 0; }
    // Keeps only the digits of a number box's text.
    static QString digits_only(const QString& text);
    // A whole-number box of this page that holds a fraction, or nullptr.
    QLineEdit* box_with_fraction() const;
    // The message OK and Apply show for such a box.
    static QString whole_numbers_message(const QString& caption);
    // "from" ... "to" as the entries of a list.
    static QStringList numbers(int from, int to);

signals:
    // A control changed a setting.
    void changed();
    // The page asks to be shown (a check failed on it).
    void show_requested();
    // A check failed: turn to page `page` and select its field labelled `caption`.
    void field_at_fault(const QString& page, const QString& caption);

protected:
    // Sets the loading flag for its lifetime: control changes are not reported meanwhile.
    class Filling {
    public:
        explicit Filling(OptionsPage& page) : page_(page) { ++page_.loading_; }
        ~Filling() { --page_.loading_; }
        Filling(const Filling&) = delete;
        Filling& operator=(const Filling&) = delete;

    private:
        OptionsPage& page_;
    };

    // Reports a change unless the page is filling itself.
    void report_change();
    // Runs `fill` with the others in fill(), in the order they were added.
    void add_filler(std::function<void()> fill);

    // The page's rows; created on first use.
    QFormLayout* form();
    void add_row(QWidget* widget);
    void add_row(const QString& caption, QWidget* widget);
    QLabel* add_heading(const QString& text);
    // A line of explanation in smaller print, wrapped.
    QLabel* add_note(const QString& text);

    // Controls bound to a setting.
    QCheckBox* add_check(const QString& caption, std::uint8_t* field);
    QComboBox* add_choice(const QString& caption, const QStringList& items, std::function<int()> get,
                          std::function<void(int)> set);
    // A number box for a whole number, with its unit ("minutes") at its right end when given:
    // everything but digits is dropped at once; empty or "0" gives `empty_value`. Values
    // outside min..max leave the setting as it is, so the window never takes a value it
    // cannot show; after Apply the box shows the setting again. A fraction ("9.5") is not cut
    // into another number: the box keeps it, says that it takes whole numbers only, and the
    // setting keeps its value; OK and Apply refuse until it is mended.
    QLineEdit* add_number(const QString& caption, std::int32_t* field, std::int32_t empty_value = 0,
                          std::int32_t min = INT32_MIN, std::int32_t max = INT32_MAX, const QString& unit = {});
    // The same for a stored setting `name`, within the range the settings table reads it back
    // in, so that the box never takes a value the next start would throw away.
    QLineEdit* add_setting_number(const QString& caption, const char* name, std::int32_t* field,
                                  std::int32_t empty_value = 0, const QString& unit = {});
    // A number box for a setting that holds fractions ("9.5", with "." or ","), within min..max.
    QLineEdit* add_decimal(const QString& caption, double* field, double min, double max);
    QLineEdit* add_text(const QString& caption, std::string* field, bool password = false);
    // Radio buttons in a group box; `get` and `set` work with the button's position.
    QButtonGroup* add_radios(const QString& caption, const QStringList& choices, std::function<int()> get,
                             std::function<void(int)> set);
    QSlider* add_slider(const QString& caption, int min, int max, std::uint8_t* field);
    // A slider over the range the settings table gives the stored setting `name`.
    QSlider* add_setting_slider(const QString& caption, const char* name, std::uint8_t* field);
    // A date picker bound to a day number (days since 1899-12-30).
    QDateEdit* add_date(const QString& caption, double* field);
    // A colour swatch bound to a packed colour (red + 256 x green + 65536 x blue). A click
    // opens the colour dialog ("Color"); every colour it shows is tried at once, and Cancel
    // puts the colour back. `on_top`: the colour dialog stays above other windows.
    QPushButton* add_colour(const QString& caption, std::int32_t* field, const std::uint8_t* on_top = nullptr);

    // Adds the rows of a declared page, each bound to its setting in `settings`; a slot calls
    // `slot` with its name, which adds the page's own rows there. Controls with a condition
    // are enabled by it after each fill and change.
    void add_declared(const OptionPageDecl& page, Settings& settings,
                      const std::function<void(const std::string& slot)>& slot = {});
    // The widget made for the declared control bound to `setting` (its group box for radio
    // buttons), or nullptr.
    QWidget* declared(const std::string& setting) const;

private:
    QWidget* add_declared_control(std::size_t index, Settings& settings);
    void enable_declared();

    std::unique_ptr<OptionBinder> binder_;
    OptionPageDecl declared_;
    std::vector<QWidget*> declared_widgets_;
    QFormLayout* form_ = nullptr;
    std::vector<std::function<void()>> fillers_;
    int loading_ = 0;
};
