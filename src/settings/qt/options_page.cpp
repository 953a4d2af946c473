#include "settings/qt/options_page.h"

#include "settings/option_page_decl.h"
#include "settings/settings_table.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/date.h"
#include "settings/number_text.h"
#include "settings/settings.h"

OptionsPage::OptionsPage(QWidget* parent) : QWidget(parent) {}

QString OptionsPage::digits_only(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) out += c;
    }
    return out;
}

QStringList OptionsPage::numbers(int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i) l << QString::number(i);
    return l;
}

void OptionsPage::fill() {
    Filling filling(*this);
    for (const auto& f : fillers_) f();
}

void OptionsPage::report_change() {
    if (loading()) return;
    enable_declared();
    emit changed();
}

void OptionsPage::add_filler(std::function<void()> fill) { fillers_.push_back(std::move(fill)); }

QFormLayout* OptionsPage::form() {
    if (form_ == nullptr) {
        form_ = new QFormLayout(this);
        form_->setContentsMargins(0, 0, 0, 0);
        form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    }
    return form_;
}

void OptionsPage::add_row(QWidget* widget) { form()->addRow(widget); }

void OptionsPage::add_row(const QString& caption, QWidget* widget) { form()->addRow(caption, widget); }

QLabel* OptionsPage::add_heading(const QString& text) {
    auto* label = new QLabel(text, this);
    add_row(label);
    return label;
}

QLabel* OptionsPage::add_note(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    QFont small = label->font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 0.9);
    label->setFont(small);
    add_row(label);
    return label;
}

QCheckBox* OptionsPage::add_check(const QString& caption, std::uint8_t* field) {
    auto* box = new QCheckBox(caption, this);
    add_row(box);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
        if (loading()) return;
        *field = on ? 1 : 0;
        report_change();
    });
    add_filler([box, field] { box->setChecked(*field != 0); });
    return box;
}

QComboBox* OptionsPage::add_choice(const QString& caption, const QStringList& items, std::function<int()> get,
                                   std::function<void(int)> set) {
    auto* box = new QComboBox(this);
    box->addItems(items);
    add_row(caption, box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, set](int index) {
        if (loading() || index < 0) return;
        set(index);
        report_change();
    });
    add_filler([box, get] { box->setCurrentIndex(get()); });
    return box;
}

namespace {

bool is_decimal_point(QChar c) { return c == QLatin1Char('.') || c == QLatin1Char(','); }

// The text with everything but digits and decimal points dropped.
QString number_characters(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || is_decimal_point(c)) out += c;
    }
    return out;
}

// Writes the cleaned text back into the box, keeping the cursor where it was.
bool clean_box(QLineEdit* box, const QString& typed, const QString& clean) {
    if (clean == typed) return false;
    const int cursor = box->cursorPosition() - static_cast<int>(typed.size() - clean.size());
    box->setText(clean);  // re-enters with the clean text
    box->setCursorPosition(std::max(0, cursor));
    return true;
}

}  // namespace

QString OptionsPage::whole_numbers_message(const QString& caption) {
    return QString::fromStdString(::whole_numbers_message(caption.toStdString()));
}

QLineEdit* OptionsPage::box_with_fraction() const {
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        if (box->property("kelvanto_fraction").toBool() && box->isVisibleTo(this)) return box;
    }
    return nullptr;
}

namespace {

// A text at the right end inside a box (its unit, or why its number is not taken), kept in
// place as the box is resized; the box's text stops short of it.
class BoxSuffix : public QObject {
public:
    BoxSuffix(QLineEdit* box, const QString& unit) : QObject(box), box_(box), label_(new QLabel(box)), unit_(unit) {
        label_->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->installEventFilter(this);
        show_unit();
    }
    void show_unit() { show(unit_, box_->palette().color(QPalette::Disabled, QPalette::Text)); }
    void show_warning(const QString& text) { show(text, QColor(Qt::red)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == box_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) place();
        return false;
    }

private:
    void show(const QString& text, const QColor& colour) {
        label_->setText(text);
        QPalette p = label_->palette();
        p.setColor(QPalette::WindowText, colour);
        label_->setPalette(p);
        label_->setVisible(!text.isEmpty());
        place();
    }
    void place() {
        const QSize size = label_->isVisible() ? label_->sizeHint() : QSize(0, 0);
        box_->setTextMargins(0, 0, size.width() + (size.width() > 0 ? 6 : 0), 0);
        label_->setGeometry(box_->width() - size.width() - 4, (box_->height() - size.height()) / 2, size.width(),
                            size.height());
    }

    QLineEdit* box_;
    QLabel* label_;
    QString unit_;
};

}  // namespace

QLineEdit* OptionsPage::add_number(const QString& caption, std::int32_t* field, std::int32_t empty_value,
                                   std::int32_t min, std::int32_t max, const QString& unit) {
    auto* box = new QLineEdit(this);
    add_row(caption, box);
    auto* suffix = new BoxSuffix(box, unit);
    box->setProperty("kelvanto_caption", caption);
    connect(box, &QLineEdit::textChanged, this, [this, box, suffix, field, empty_value, min, max](const QString& typed) {
        if (loading()) return;
        if (clean_box(box, typed, number_characters(typed))) return;
        // A fraction is said to be one, not turned into another number by dropping its point.
        const bool fraction = std::any_of(typed.begin(), typed.end(), is_decimal_point);
        box->setProperty("kelvanto_fraction", fraction);
        if (fraction) suffix->show_warning(QStringLiteral("whole numbers only"));
        else suffix->show_unit();
        if (fraction) {
            report_change();
            return;
        }
        bool ok = false;
        const qlonglong v = typed.toLongLong(&ok);
        std::int32_t value = 0;
        if (typed.isEmpty() || typed == QLatin1String("0")) {
            value = empty_value;
        } else {
            value = ok && v <= INT32_MAX ? static_cast<std::int32_t>(v) : INT32_MAX;
        }
        // A value the setting cannot take is not taken; the box still counts as changed.
        if (value >= min && value <= max) *field = value;
        report_change();
    });
    add_filler([box, suffix, field] {
        box->setText(QString::number(*field));
        box->setProperty("kelvanto_fraction", false);
        suffix->show_unit();
    });
    return box;
}

QLineEdit* OptionsPage::add_decimal(const QString& caption, double* field, double min, double max) {
    auto* box = new QLineEdit(this);
    add_row(caption, box);
    connect(box, &QLineEdit::textChanged, this, [this, box, field, min, max](const QString& typed) {
        if (loading()) return;
        // One decimal point at most: a second one is dropped as it is typed.
        QString clean = number_characters(typed);
        const int first = static_cast<int>(std::find_if(clean.begin(), clean.end(), is_decimal_point) - clean.begin());
        for (int i = static_cast<int>(clean.size()) - 1; i > first; --i) {
            if (is_decimal_point(clean[i])) clean.remove(i, 1);
        }
        if (clean_box(box, typed, clean)) return;
        QString text = typed;
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        const std::optional<double> v = text.isEmpty() ? std::optional<double>(0.0) : parse_decimal(text.toStdString());
        if (v && *v >= min && *v <= max) *field = *v;
        report_change();
    });
    add_filler([box, field] { box->setText(QString::fromStdString(decimal_text(*field))); });
    return box;
}

QLineEdit* OptionsPage::add_text(const QString& caption, std::string* field, bool password) {
    auto* box = new QLineEdit(this);
    if (password) box->setEchoMode(QLineEdit::Password);
    add_row(caption, box);
    connect(box, &QLineEdit::textChanged, this, [this, field](const QString& typed) {
        if (loading()) return;
        *field = typed.toStdString();
        report_change();
    });
    add_filler([box, field] { box->setText(QString::fromStdString(*field)); });
    return box;
}

QButtonGroup* OptionsPage::add_radios(const QString& caption, const QStringList& choices, std::function<int()> get,
                                      std::function<void(int)> set) {
    auto* box = new QGroupBox(caption, this);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < choices.size(); ++i) {
        auto* b = new QRadioButton(choices[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    add_row(box);
    connect(group, &QButtonGroup::idToggled, this, [this, set](int id, bool on) {
        if (loading() || !on) return;
        set(id);
        report_change();
    });
    add_filler([group, get] {
        if (QAbstractButton* b = group->button(get())) b->setChecked(true);
    });
    return group;
}

QLineEdit* OptionsPage::add_setting_number(const QString& caption, const char* name, std::int32_t* field,
                                           std::int32_t empty_value, const QString& unit) {
    const SettingRange range = setting_range(name).value_or(SettingRange{INT32_MIN, INT32_MAX});
    return add_number(caption, field, empty_value, range.min, range.max, unit);
}

QSlider* OptionsPage::add_setting_slider(const QString& caption, const char* name, std::uint8_t* field) {
    const SettingRange range = setting_range(name).value_or(SettingRange{0, 255});
    return add_slider(caption, range.min, range.max, field);
}

QSlider* OptionsPage::add_slider(const QString& caption, int min, int max, std::uint8_t* field) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(min, max);
    add_row(caption, slider);
    connect(slider, &QSlider::valueChanged, this, [this, field](int v) {
        if (loading()) return;
        *field = static_cast<std::uint8_t>(v);
        report_change();
    });
    add_filler([slider, field] { slider->setValue(*field); });
    return slider;
}

QDateEdit* OptionsPage::add_date(const QString& caption, double* field) {
    auto* edit = new QDateEdit(this);
    edit->setCalendarPopup(true);
    add_row(caption, edit);
    connect(edit, &QDateEdit::dateChanged, this, [this, field](QDate d) {
        if (loading()) return;
        *field = static_cast<double>(day_number(d.year(), d.month(), d.day()));
        report_change();
    });
    add_filler([edit, field] {
        const CivilDate c = civil_date(*field);
        edit->setDate(QDate(c.year, c.month, c.day));
    });
    return edit;
}

namespace {

QColor unpacked(std::int32_t colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

std::int32_t packed(const QColor& c) {
    return static_cast<std::int32_t>(
        rgb(static_cast<std::uint32_t>(c.red()), static_cast<std::uint32_t>(c.green()), static_cast<std::uint32_t>(c.blue())));
}

}  // namespace

QPushButton* OptionsPage::add_colour(const QString& caption, std::int32_t* field, const std::uint8_t* on_top) {
    auto* button = new QPushButton(this);
    button->setFixedSize(48, 20);
    add_row(caption, button);
    // With a border of its own the style paints the colour flat, not shaded as a button face.
    const auto paint = [button, field] {
        button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(unpacked(*field).name()));
    };
    button->setToolTip(QStringLiteral("Click to choose the colour"));
    // The colour is set when it differs, and the change reported.
    const auto take = [this, field, paint](std::int32_t colour) {
        if (*field == colour) return;
        *field = colour;
        paint();
        report_change();
    };
    connect(button, &QPushButton::clicked, this, [this, field, take, on_top] {
        auto* dialog = new QColorDialog(unpacked(*field), window());
        dialog->setWindowTitle(QStringLiteral("Color"));
        dialog->setOption(QColorDialog::DontUseNativeDialog);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        if (on_top != nullptr && *on_top != 0) dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
        const std::int32_t before = *field;
        connect(dialog, &QColorDialog::currentColorChanged, this, [take](const QColor& c) {
            if (c.isValid()) take(packed(c));
        });
        connect(dialog, &QDialog::finished, this, [dialog, take, before](int result) {
            const QColor chosen = dialog->selectedColor();
            take(result == QDialog::Accepted && chosen.isValid() ? packed(chosen) : before);
        });
        dialog->open();
    });
    add_filler(paint);
    return button;
}
