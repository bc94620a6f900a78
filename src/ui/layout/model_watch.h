#pragma once

#include <array>
#include <functional>
#include <memory>

#include "wizard/form_model.h"

// How a view follows the form model, whatever draws it.
namespace regwiz::ui {

// Every property a view shows of a control it has just made: the visibility
// last, once the control is complete.
inline constexpr std::array kShownProperties = {
    wizard::Property::Caption,      wizard::Property::Text,          wizard::Property::Items,
    wizard::Property::Value,        wizard::Property::ForeColor,     wizard::Property::MaxLength,
    wizard::Property::PasswordChar, wizard::Property::AnimationFile, wizard::Property::Missing,
    wizard::Property::Enabled,      wizard::Property::Visible};

// Calls `control` on every change of one of the form's controls and `form`
// on every change of the form itself, for as long as `*alive` holds: the
// model outlives its view a little.
void WatchModel(wizard::FormModel& model, const std::shared_ptr<bool>& alive,
                const std::function<void(wizard::Control&, wizard::Property)>& control,
                const std::function<void(wizard::FormModel::FormProperty)>& form);

} // namespace regwiz::ui
