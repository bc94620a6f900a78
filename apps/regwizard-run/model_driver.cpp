#include "platform/fake/fakes.h"
#include "regwizard-run/driver.h"

namespace regwiz::runner {
namespace {

class ModelDriver final : public Driver {
public:
    explicit ModelDriver(const platform::MousePointer& pointer) : boxes_(&pointer) {}

    platform::MessageBoxes& Boxes() override { return boxes_; }
    void QueueAnswer(platform::Answer answer) override { boxes_.QueueAnswer(answer); }
    std::vector<ShownBox> Shown() const override
    {
        std::vector<ShownBox> shown;
        for (const auto& box : boxes_.Shown())
            shown.push_back({box.text, box.title, box.style});
        return shown;
    }
    wizard::FormViewFactory ViewFactory() override { return {}; }

    void Click(wizard::Control& control) override
    {
        if (control.Kind() == wizard::ControlKind::CheckBox)
            control.SetValue(control.Value() == 0 ? 1 : 0);
        else
            control.Click();
    }
    void Type(wizard::Control& control, const std::string& text) override { control.Type(text); }
    void Select(wizard::Control& control, int index) override { control.SetListIndex(index); }
    bool Visible(wizard::Control& control) override { return control.Visible(); }
    bool Enabled(wizard::Control& control) override { return control.Enabled(); }
    bool WindowShown(wizard::FormModel& form) override { return form.Visible(); }
    bool Shot(const std::filesystem::path&) override { return false; }

private:
    platform::fake::FakeMessageBoxes boxes_;
};

} // namespace

std::unique_ptr<Driver> MakeModelDriver(const platform::MousePointer& pointer)
{
    return std::make_unique<ModelDriver>(pointer);
}

#if !defined(REGWIZ_RUNNER_GUI) && !defined(REGWIZ_RUNNER_WIN32_GUI)
std::unique_ptr<Driver> MakeWidgetDriver()
{
    return nullptr;
}
#endif

} // namespace regwiz::runner
