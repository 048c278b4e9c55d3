// A raised run's toolkit ignores a plugin folder that the environment names; a plain run's
// honours it. Each case runs a program of its own that asks for the probe plugin by its key.
#include <QProcess>
#include <gtest/gtest.h>

TEST(ToolkitEnvironment, RaisedRunLoadsNoPluginTheEnvironmentNames)
{
    const QString folder = QStringLiteral(TAMSEL_PROBE_PLUGIN_FOLDER);
    struct Row {
        const char* mode;
        const char* said;
    } rows[] = {{"plain", "probe loaded"}, {"raised", "probe not loaded"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QT_PLUGIN_PATH", folder);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(TAMSEL_TOOLKIT_CHILD, {row.mode, "-plugin", "tamselprobe"});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
        EXPECT_EQ(child.readAllStandardOutput().trimmed().toStdString(), row.said);
    }
}
