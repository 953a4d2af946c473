// The rows of a declared options page, made with the page's add_ helpers.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "settings/qt/options_page.h"
#include "settings/settings.h"

namespace {

template <typename T>
T* field_of(const OptionBinder& binder, const std::string& name) {
    const SettingDef* d = binder.find(name);
    if (d == nullptr) return nullptr;
    auto* const* field = std::get_if<T*>(&d->field);
    return field != nullptr ? *field : nullptr;
}

QStringList captions(const OptionControl& c) {
    QStringList out;
    for (const OptionEntry& e : c.entries) out << QString::fromStdString(e.caption);
    return out;
}

}  // namespace

void OptionsPage::add_declared(const OptionPageDecl& page, Settings& settings,
                               const std::function<void(const std::string& slot)>& slot) {
    binder_ = std::make_unique<OptionBinder>(settings);
    declared_ = page;
    declared_widgets_.assign(page.controls.size(), nullptr);
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        const OptionControl& c = declared_.controls[i];
        if (c.kind == OptionControlKind::slot) {
            if (slot) slot(c.setting);
            continue;
        }
        QWidget* w = add_declared_control(i, settings);
        declared_widgets_[i] = w;
        if (w != nullptr && !c.tooltip.empty()) w->setToolTip(QString::fromStdString(c.tooltip));
    }
    add_filler([this] { enable_declared(); });
}

QWidget* OptionsPage::add_declared_control(std::size_t index, Settings& settings) {
    const OptionControl& c = declared_.controls[index];
    const OptionBinder& b = *binder_;
    const QString caption = QString::fromStdString(c.caption);
    switch (c.kind) {
        case OptionControlKind::check: return add_check(caption, field_of<std::uint8_t>(b, c.setting));
        case OptionControlKind::choice:
            return add_choice(
                caption, captions(c), [this, index] { return binder_->entry_of(declared_.controls[index]); },
                [this, index](int i) { binder_->choose_entry(declared_.controls[index], i); });
        case OptionControlKind::radios: {
            QButtonGroup* group = add_radios(
                caption, captions(c), [this, index] { return binder_->entry_of(declared_.controls[index]); },
                [this, index](int i) { binder_->choose_entry(declared_.controls[index], i); });
            return group->buttons().isEmpty() ? nullptr : group->buttons().front()->parentWidget();
        }
        case OptionControlKind::number: {
            const SettingRange range = b.range(c.setting);
            return add_number(caption, field_of<std::int32_t>(b, c.setting), c.empty_value, range.min, range.max,
                              QString::fromStdString(c.unit));
        }
        case OptionControlKind::decimal: {
            const SettingRange range = b.range(c.setting);
            return add_decimal(caption, field_of<double>(b, c.setting), range.min, range.max);
        }
        case OptionControlKind::text: return add_text(caption, field_of<std::string>(b, c.setting));
        case OptionControlKind::password: return add_text(caption, field_of<std::string>(b, c.setting), true);
        case OptionControlKind::slider: {
            const SettingRange range = b.range(c.setting);
            return add_slider(caption, range.min, range.max, field_of<std::uint8_t>(b, c.setting));
        }
        case OptionControlKind::colour:
            return add_colour(caption, field_of<std::int32_t>(b, c.setting), &settings.AlwaysOnTop);
        case OptionControlKind::date: return add_date(caption, field_of<double>(b, c.setting));
        case OptionControlKind::heading: return add_heading(caption);
        case OptionControlKind::note: return add_note(caption);
        case OptionControlKind::slot: break;
    }
    return nullptr;
}

QWidget* OptionsPage::declared(const std::string& setting) const {
    for (std::size_t i = 0; i < declared_widgets_.size(); ++i) {
        if (declared_.controls[i].setting == setting) return declared_widgets_[i];
    }
    return nullptr;
}

void OptionsPage::enable_declared() {
    if (binder_ == nullptr) return;
    for (std::size_t i = 0; i < declared_widgets_.size(); ++i) {
        const OptionControl& c = declared_.controls[i];
        if (declared_widgets_[i] != nullptr && !c.enabled_by.empty()) declared_widgets_[i]->setEnabled(binder_->enabled(c));
    }
}
