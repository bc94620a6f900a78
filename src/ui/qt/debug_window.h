#pragma once

#include <string>

#include <QWidget>

class QListWidget;
class QPushButton;

namespace regwiz::ui::qt {

// A window for watching what the wizard does while it is being worked on:
// lines in a list, and a button that clears them.
class DebugWindow final : public QWidget {
public:
    explicit DebugWindow(QWidget* parent = nullptr);

    void AddLine(const std::string& line);

    QListWidget* List() const { return list_; }
    QPushButton* ClearButton() const { return clear_; }

private:
    QListWidget* list_;
    QPushButton* clear_;
};

} // namespace regwiz::ui::qt
