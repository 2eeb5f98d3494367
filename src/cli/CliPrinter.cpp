#include "cli/CliPrinter.h"

#include <QJsonDocument>

#include <cerrno>
#include <cstring>

namespace {

// A terminal line redrawn more often than this only flickers.
const qint64 redrawMs = 100;

} // namespace

CliPrinter::CliPrinter(CliOptions::eVerbosity verbosity, bool json, bool terminal, bool labelPorts, FILE* out,
                       FILE* err)
    : m_Verbosity(verbosity)
    , m_Json(json)
    , m_Terminal(terminal && !json)
    , m_LabelPorts(labelPorts)
    , m_pOut(out)
    , m_pErr(err)
{
    m_Clock.start();
}

CliPrinter::~CliPrinter()
{
    clearProgressLine();
}

CliOptions::eVerbosity CliPrinter::verbosity() const
{
    return m_Verbosity;
}

bool CliPrinter::isJson() const
{
    return m_Json;
}

QString CliPrinter::label(const QString& port) const
{
    return m_LabelPorts && !port.isEmpty() ? port + QStringLiteral(": ") : QString();
}

void CliPrinter::writeErr(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_pErr);
    std::fflush(m_pErr);
}

void CliPrinter::clearProgressLine()
{
    if (m_ProgressLine.isEmpty())
        return;
    writeErr(QStringLiteral("\r\033[K"));
    m_ProgressLine.clear();
}

void CliPrinter::line(const QString& port, const QString& text)
{
    if (m_Json) {
        QJsonObject report { { QStringLiteral("event"), QStringLiteral("report") }, { QStringLiteral("text"), text } };
        if (!port.isEmpty())
            report.insert(QStringLiteral("port"), port);
        object(report);
        return;
    }
    const QString progressLine = m_ProgressLine;
    clearProgressLine();
    writeErr(label(port) + text + QLatin1Char('\n'));
    if (!progressLine.isEmpty()) {
        writeErr(QLatin1Char('\r') + progressLine);
        m_ProgressLine = progressLine;
    }
}

void CliPrinter::report(const QString& port, const QString& text)
{
    if (m_Verbosity != CliOptions::Quiet)
        line(port, text);
}

void CliPrinter::detail(const QString& port, const QString& text)
{
    if (m_Verbosity == CliOptions::Verbose)
        line(port, text);
}

void CliPrinter::failure(const QString& port, const QString& text)
{
    line(port, text);
}

void CliPrinter::progress(const QString& port, int done, int total, const QString& unit)
{
    if (m_Verbosity == CliOptions::Quiet || total <= 0)
        return;
    Progress& state = m_Progress[port];
    const qint64 now = m_Clock.elapsed();
    const int tenth = int(qint64(done) * 10 / total);
    if (m_Terminal) {
        if (done < total && state.drawnAt >= 0 && now - state.drawnAt < redrawMs)
            return;
    } else if (tenth <= state.tenth) {
        return;
    }
    state.tenth = tenth;
    state.drawnAt = now;

    if (m_Json) {
        object(QJsonObject { { QStringLiteral("event"), QStringLiteral("progress") }, { QStringLiteral("port"), port },
                             { QStringLiteral("done"), done }, { QStringLiteral("total"), total } });
        return;
    }
    const QString text = label(port)
        + QStringLiteral("%1% %2/%3 %4 %5 s")
              .arg(qint64(done) * 100 / total)
              .arg(done)
              .arg(total)
              .arg(unit)
              .arg(double(now) / 1000.0, 0, 'f', 1);
    if (m_Terminal) {
        writeErr(QLatin1Char('\r') + text + QStringLiteral("\033[K"));
        m_ProgressLine = text;
    } else {
        writeErr(text + QLatin1Char('\n'));
    }
}

void CliPrinter::summary(const QString& text)
{
    if (m_Json || m_Verbosity == CliOptions::Quiet)
        return;
    clearProgressLine();
    writeErr(text + QLatin1Char('\n'));
}

void CliPrinter::error(const QString& text)
{
    if (m_Json)
        return;
    clearProgressLine();
    writeErr(QStringLiteral("tessaloom-cli: ") + text + QLatin1Char('\n'));
}

void CliPrinter::result(int status, const QString& error, const QJsonObject& extra)
{
    if (!m_Json)
        return;
    QJsonObject result = extra;
    result.insert(QStringLiteral("event"), QStringLiteral("result"));
    result.insert(QStringLiteral("ok"), status == 0);
    result.insert(QStringLiteral("status"), status);
    if (!error.isEmpty())
        result.insert(QStringLiteral("error"), error);
    object(result);
}

void CliPrinter::output(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_pOut) == size_t(bytes.size());
    if ((std::fflush(m_pOut) != 0 || !written) && m_OutputError.isEmpty())
        m_OutputError = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QCoreApplication::translate("CliPrinter", "The output was cut short");
}

void CliPrinter::object(const QJsonObject& object)
{
    output(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}
