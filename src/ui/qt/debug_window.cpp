#include "ui/qt/debug_window.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace regwiz::ui::qt {

DebugWindow::DebugWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), list_(new QListWidget(this)),
      clear_(new QPushButton(QStringLiteral("Clear List"), this))
{
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(QStringLiteral("Debug information"));
    list_->setObjectName(QStringLiteral("lstDebug"));
    clear_->setObjectName(QStringLiteral("cmdClearList"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(clear_, 0, Qt::AlignRight);
    connect(clear_, &QPushButton::clicked, list_, &QListWidget::clear);
    resize(420, 320);
}

void DebugWindow::AddLine(const std::string& line)
{
    list_->addItem(QString::fromStdString(line));
    list_->scrollToBottom();
}

} // namespace regwiz::ui::qt
