#include "wizard/form_model.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/mouse_pointer.h"

namespace regwiz::wizard {
namespace {

constexpr long kInvalidProcedureCall = 5;
constexpr long kInvalidPropertyValue = 380;

// The first `count` characters of a UTF-8 text.
std::string LeftChars(const std::string& text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t chars = 0; end < text.size() && chars < count; ++chars) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return text.substr(0, end);
}

bool IsList(ControlKind kind)
{
    return kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

} // namespace

Control::Control(ControlKind kind, std::string name, Control* container)
    : kind_(kind), name_(std::move(name)), container_(container)
{
}

void Control::Changed(Property property)
{
    // A copy: an observer may add another while being told.
    const std::vector<Observer> observers = observers_;
    for (const Observer& observer : observers)
        observer(*this, property);
}

void Control::SetCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    Changed(Property::Caption);
}

std::string Control::Text() const
{
    if (IsList(kind_))
        return listIndex_ >= 0 ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
    return text_;
}

void Control::SetText(std::string text)
{
    // A single-line box holds no line break: pasted lines end at the first.
    if (kind_ == ControlKind::TextBox && !multiLine_)
        text.resize(std::min(text.size(), text.find_first_of("\r\n")));
    if (text_ == text)
        return;
    text_ = std::move(text);
    Changed(Property::Text);
}

void Control::Type(const std::string& text)
{
    SetText(maxLength_ > 0 ? LeftChars(text, static_cast<std::size_t>(maxLength_)) : text);
}

void Control::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed(Property::Visible);
}

bool Control::ShownOnForm() const
{
    for (const Control* c = this; c != nullptr; c = c->container_) {
        if (!c->visible_)
            return false;
    }
    return true;
}

void Control::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Changed(Property::Enabled);
}

bool Control::UsableOnForm() const
{
    for (const Control* c = this; c != nullptr; c = c->container_) {
        if (!c->visible_ || !c->enabled_)
            return false;
    }
    return true;
}

void Control::SetForeColor(std::uint32_t rgb)
{
    if (foreColor_ == rgb)
        return;
    foreColor_ = rgb;
    Changed(Property::ForeColor);
}

void Control::SetMaxLength(int maxLength)
{
    maxLength_ = maxLength;
    Changed(Property::MaxLength);
}

void Control::SetPasswordChar(std::string mask)
{
    passwordChar_ = std::move(mask);
    Changed(Property::PasswordChar);
}

const std::string& Control::List(int index) const
{
    if (index < 0 || index >= ListCount())
        throw RunTimeError(kInvalidPropertyValue, "Invalid property array index");
    return items_[static_cast<std::size_t>(index)];
}

void Control::AddItem(std::string item)
{
    items_.push_back(std::move(item));
    Changed(Property::Items);
}

void Control::Clear()
{
    items_.clear();
    listIndex_ = -1;
    Changed(Property::Items);
    Changed(Property::ListIndex);
}

void Control::SetListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw RunTimeError(kInvalidPropertyValue, "Invalid property value");
    const bool changed = listIndex_ != index;
    listIndex_ = index;
    if (changed)
        Changed(Property::ListIndex);
    if (index >= 0)
        Click();
}

void Control::SetValue(int value)
{
    if (value_ == value)
        return;
    value_ = value;
    Changed(Property::Value);
    if (kind_ == ControlKind::CheckBox)
        Click();
}

void Control::SetAnimationFile(std::string file)
{
    if (animationFile_ == file)
        return;
    animationFile_ = std::move(file);
    Changed(Property::AnimationFile);
}

std::string Control::AccessibleName() const
{
    std::string name = accessibleName_;
    if (name.empty())
        name = WithoutMnemonics(label_ != nullptr ? label_->Caption() : caption_);
    while (!name.empty() && (name.back() == ':' || name.back() == ' '))
        name.pop_back();
    return name;
}

void Control::SetMissing(bool missing)
{
    if (missing_ == missing)
        return;
    missing_ = missing;
    Changed(Property::Missing);
}

void Control::Click()
{
    if (onClick_) {
        Handler handler = onClick_; // the handler may unload the form that holds it
        handler();
    }
}

Control& FormModel::Add(ControlKind kind, std::string name, Control* container)
{
    controls_.push_back(std::make_unique<Control>(kind, name, container));
    Control& control = *controls_.back();
    byName_[std::move(name)] = &control;
    return control;
}

Control* FormModel::Find(const std::string& name) const
{
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

void FormModel::Changed(FormProperty property)
{
    const std::vector<Observer> observers = observers_;
    for (const Observer& observer : observers)
        observer(*this, property);
}

void FormModel::SetCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    Changed(FormProperty::Caption);
}

void FormModel::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed(FormProperty::Visible);
}

void FormModel::SetMousePointer(int shape)
{
    if (mousePointer_ == shape)
        return;
    mousePointer_ = shape;
    Changed(FormProperty::MousePointer);
}

bool FormModel::Busy() const
{
    return mousePointer_ == platform::pointer::Hourglass;
}

void FormModel::SetDefaultButton(Control* button)
{
    if (defaultButton_ == button)
        return;
    defaultButton_ = button;
    Changed(FormProperty::DefaultButton);
}

void FormModel::SetFocus(Control& control)
{
    if (!visible_ || !control.UsableOnForm())
        throw RunTimeError(kInvalidProcedureCall, "Invalid procedure call or argument");
    active_ = &control;
    Changed(FormProperty::Focus);
}

void FormModel::Move(int left, int top)
{
    left_ = left;
    top_ = top;
    Changed(FormProperty::Position);
}

void FormModel::SetSize(int width, int height)
{
    width_ = width;
    height_ = height;
    Changed(FormProperty::Position);
}

std::string WithoutMnemonics(const std::string& caption)
{
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

} // namespace regwiz::wizard
