#include "ui/layout/model_watch.h"

namespace regwiz::ui {

void WatchModel(wizard::FormModel& model, const std::shared_ptr<bool>& alive,
                const std::function<void(wizard::Control&, wizard::Property)>& control,
                const std::function<void(wizard::FormModel::FormProperty)>& form)
{
    for (const auto& each : model.Controls()) {
        each->Observe([alive, control](wizard::Control& changed, wizard::Property property) {
            if (*alive)
                control(changed, property);
        });
    }
    model.Observe([alive, form](wizard::FormModel&, wizard::FormModel::FormProperty property) {
        if (*alive)
            form(property);
    });
}

} // namespace regwiz::ui
