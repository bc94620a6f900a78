// The widget tests need one QApplication for the whole run.
#include <cstdio>

#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform warns about every window feature it lacks; those
// lines would bury the test output.
void QuietAboutMissingPlatformFeatures(QtMsgType type, const QMessageLogContext& context,
                                       const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    if (standardHandler != nullptr)
        standardHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(QuietAboutMissingPlatformFeatures);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
