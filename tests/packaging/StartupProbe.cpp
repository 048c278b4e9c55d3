// A test instrument for an installed Tamsel, loaded into it through the toolkit's generic plugin
// hook (QT_PLUGIN_PATH naming this plugin's folder, QT_QPA_GENERIC_PLUGINS=tamselprobe). Once
// start-up detection has logged its count and the log has been quiet for a moment, it writes
// the event log's text to the file named by TAMSEL_PROBE_LOG and closes the main window as a
// user would, so that the program runs its whole close sequence and exits.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGenericPlugin>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kPollMs = 50;
constexpr int kQuietMs = 500;      // start-up ends within this once detection has logged its count
constexpr int kGiveUpMs = 30000;   // a start-up that never ends: report what was logged
const char kDetectionEnd[] = "Fin de recherche des ports parallèles disponibles";

class StartupProbe : public QObject {
public:
    StartupProbe()
    {
        clock_.start();
        connect(&poll_, &QTimer::timeout, this, &StartupProbe::Poll);
        poll_.start(kPollMs);
    }

private:
    void Poll()
    {
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("fmMain") && w->isVisible())
                window = w;
        auto* log = window ? window->findChild<QTextEdit*>(QStringLiteral("reLog")) : nullptr;
        if (!log)
            return;
        const QString text = log->toPlainText();
        if (text != lastText_) {
            lastText_ = text;
            quiet_.start();
            return;
        }
        const bool done = text.contains(QString::fromUtf8(kDetectionEnd)) &&
                          quiet_.elapsed() >= kQuietMs;
        if (!done && clock_.elapsed() < kGiveUpMs)
            return;
        poll_.stop();
        QFile out(qEnvironmentVariable("TAMSEL_PROBE_LOG"));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(text.toUtf8() + '\n');
        window->close();
    }

    QTimer poll_;
    QElapsedTimer clock_, quiet_;
    QString lastText_;
};

class StartupProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
public:
    QObject* create(const QString& key, const QString&) override
    {
        return key.compare(QLatin1String("tamselprobe"), Qt::CaseInsensitive) == 0
                   ? new StartupProbe
                   : nullptr;
    }
};

} // namespace

#include "StartupProbe.moc"
