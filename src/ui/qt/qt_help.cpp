#include "ui/qt/qt_help.h"

#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace regwiz::ui::qt {
namespace {

const char* const kIndexAnchor = "index";

QStringList KeywordsIn(const QString& html)
{
    static const QRegularExpression topic(QStringLiteral(R"re(<h2[^>]*>\s*<a\s+name="([^"]+)")re"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList keywords;
    for (const QRegularExpressionMatch& match : topic.globalMatch(html))
        keywords << match.captured(1);
    return keywords;
}

QString NotInstalledPage(const std::filesystem::path& document)
{
    return QStringLiteral("<h1>Help is not installed</h1>"
                          "<p>The help document <tt>%1</tt> could not be found.</p>"
                          "<p>For help with signing up, call quorvale Member Services at "
                          "1-800-555-0142.</p>")
        .arg(QString::fromStdString(document.string()).toHtmlEscaped());
}

} // namespace

QtHelp::QtHelp() = default;
QtHelp::~QtHelp() = default;

std::filesystem::path QtHelp::DocumentFor(const std::string& helpFile)
{
    return std::filesystem::path(helpFile).replace_extension(".html");
}

void QtHelp::ShowPartialKey(const std::string& helpFile, const std::string& key)
{
    MakeWindow();
    Load(DocumentFor(helpFile));
    topic_ = TopicFor(key);
    window_->show();
    window_->raise();
    if (topic_ == kIndexAnchor)
        browser_->verticalScrollBar()->setValue(0); // the index opens the document
    else
        browser_->scrollToAnchor(QString::fromStdString(topic_));
}

void QtHelp::Quit(const std::string&)
{
    if (window_)
        window_->hide();
}

void QtHelp::MakeWindow()
{
    if (window_)
        return;
    window_ = std::make_unique<QWidget>();
    window_->setObjectName(QStringLiteral("frmHelp"));
    window_->setWindowTitle(QStringLiteral("quorvale Registration Help"));
    window_->resize(560, 480);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(window_.get());
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
}

// Read afresh each time: the document may be installed or replaced while the
// wizard runs.
void QtHelp::Load(const std::filesystem::path& document)
{
    QFile file(QString::fromStdString(document.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        keywords_.clear();
        browser_->setHtml(NotInstalledPage(document));
        return;
    }
    const QString html = QString::fromUtf8(file.readAll());
    keywords_ = KeywordsIn(html);
    browser_->setHtml(html);
}

std::string QtHelp::TopicFor(const std::string& key) const
{
    const QString wanted = QString::fromStdString(key);
    if (wanted.isEmpty())
        return kIndexAnchor;
    for (const QString& keyword : keywords_) {
        if (keyword.startsWith(wanted, Qt::CaseInsensitive))
            return keyword.toStdString();
    }
    return kIndexAnchor;
}

} // namespace regwiz::ui::qt
