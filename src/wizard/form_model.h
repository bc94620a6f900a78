#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The wizard window as plain objects: one Control per named control, with the
// properties the wizard's logic reads and sets. The logic never touches a
// widget; a view follows the model through its change notifications and feeds
// the member's input back into it.
namespace regwiz::wizard {

enum class ControlKind {
    Label,
    TextBox,
    ComboBox, // drop-down list
    ListBox,
    CheckBox,
    CommandButton,
    Frame,
    Image,
    Line,
    Animation,
};

enum class Property {
    Caption,
    Text,
    Visible,
    Enabled,
    ForeColor,
    Items,
    ListIndex,
    Value,
    MaxLength,
    PasswordChar,
    AnimationFile,
    Missing,
};

namespace colour {
inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t White = 0xFFFFFF;
inline constexpr std::uint32_t Blue = 0x0000FF;
inline constexpr std::uint32_t Red = 0xFF0000;
} // namespace colour

class Control {
public:
    using Observer = std::function<void(Control&, Property)>;
    using Handler = std::function<void()>;

    Control(ControlKind kind, std::string name, Control* container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Control* Container() const { return container_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    // A text box's text; for a list, the chosen entry's text (empty when none).
    std::string Text() const;
    // Set from code: a text box takes the whole text.
    void SetText(std::string text);
    // The member's typing replaces the text, cut to the input limit.
    void Type(const std::string& text);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Visible together with every container it stands in.
    bool ShownOnForm() const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool UsableOnForm() const; // shown, and enabled with its containers

    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t rgb);
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t rgb) { backColor_ = rgb; }

    // Input limit in characters (0: none) and password mask of a text box.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);
    const std::string& PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(std::string mask);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked) { locked_ = locked; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine) { multiLine_ = multiLine; }

    // Lists.
    const std::vector<std::string>& Items() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const;
    void AddItem(std::string item);
    void Clear();
    int ListIndex() const { return listIndex_; }
    // Choosing an entry raises the list's Click, also when code chooses it.
    // An index outside the list raises "Invalid property value" (380).
    void SetListIndex(int index);

    // Check box: 0 cleared, 1 checked.
    int Value() const { return value_; }
    void SetValue(int value);

    // The animation file open in an animation control (empty: closed).
    const std::string& AnimationFile() const { return animationFile_; }
    void SetAnimationFile(std::string file);

    // What assistive technology calls the control: the name given to it, else
    // the caption of its label, else its own caption; mnemonics and a
    // trailing colon left out. It never follows the control's value.
    std::string AccessibleName() const;
    void SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }
    // The label that names the control (null: none).
    const Control* Label() const { return label_; }
    void SetLabel(const Control* label) { label_ = label; }
    // A label whose caption reports how a wait goes: a change is told to the
    // member, not only drawn.
    bool ReportsStatus() const { return reportsStatus_; }
    void SetReportsStatus(bool reports) { reportsStatus_ = reports; }
    // A picture that only decorates the page: screen readers pass it by.
    bool Decorative() const { return decorative_; }
    void SetDecorative(bool decorative) { decorative_ = decorative; }

    // Set by a page check alongside the colour of a field's caption: the
    // field is missing or wrong (on an entry), or names one that is (on its
    // label). Cleared when the field passes.
    bool Missing() const { return missing_; }
    void SetMissing(bool missing);

    // Raises the Click event: a button pressed, a check box or list entry
    // clicked. The form binds the handlers.
    void Click();
    void OnClick(Handler handler) { onClick_ = std::move(handler); }

    void Observe(Observer observer) { observers_.push_back(std::move(observer)); }

private:
    void Changed(Property property);

    ControlKind kind_;
    std::string name_;
    Control* container_;
    std::string caption_;
    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
    std::uint32_t foreColor_ = colour::Black;
    std::uint32_t backColor_ = colour::White;
    int maxLength_ = 0;
    std::string passwordChar_;
    bool locked_ = false;
    bool multiLine_ = false;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    int value_ = 0;
    std::string animationFile_;
    std::string accessibleName_;
    const Control* label_ = nullptr;
    bool reportsStatus_ = false;
    bool decorative_ = false;
    bool missing_ = false;
    Handler onClick_;
    std::vector<Observer> observers_;
};

// The form: its controls in design order, its caption, visibility, mouse
// pointer, position and the control that has the focus.
class FormModel {
public:
    enum class FormProperty {
        Caption,
        Visible,
        MousePointer,
        Focus,
        Position,
        Loaded,
        DefaultButton,
    };
    using Observer = std::function<void(FormModel&, FormProperty)>;

    explicit FormModel(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }

    Control& Add(ControlKind kind, std::string name, Control* container = nullptr);
    Control* Find(const std::string& name) const;
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int shape);
    // The wizard waits (dialling, fetching the access numbers, waiting for the
    // server's reply): the hourglass is up, and the window is busy.
    bool Busy() const;

    // The button that Enter presses when the focused control takes no Enter
    // of its own (null: none).
    Control* DefaultButton() const { return defaultButton_; }
    void SetDefaultButton(Control* button);

    // SetFocus: raises "Invalid procedure call" (5) when the control cannot
    // take the focus (hidden, disabled, or the form is not shown).
    void SetFocus(Control& control);
    Control* ActiveControl() const { return active_; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top);
    void SetSize(int width, int height);

    void Observe(Observer observer) { observers_.push_back(std::move(observer)); }
    void Changed(FormProperty property);

private:
    std::string name_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<std::string, Control*> byName_;
    std::string caption_;
    bool visible_ = false;
    int mousePointer_ = 0;
    Control* active_ = nullptr;
    Control* defaultButton_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<Observer> observers_;
};

// "&Next >" reads "Next >"; "&&" stands for one ampersand.
std::string WithoutMnemonics(const std::string& caption);

} // namespace regwiz::wizard
