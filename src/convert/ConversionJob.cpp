#include "convert/ConversionJob.h"

#include "base/Log.h"

#include <exception>

namespace plotwell::convert {

ConversionJob::ConversionJob(QObject *parent) : QObject(parent)
{}

ConversionJob::~ConversionJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

QString ConversionJob::refusalText()
{
    return QStringLiteral("A conversion is already running. Please wait until it is done, then "
                          "try again.");
}

bool ConversionJob::start(Format format, const QString &inputPath, const QString &outputPath,
                          const ConversionSettings &settings, QString *refusal)
{
    if (m_running.exchange(true)) {
        if (refusal)
            *refusal = refusalText();
        return false;
    }
    // The thread of the previous conversion has ended (its completion ran), or never started.
    if (m_thread.joinable())
        m_thread.join();
    m_format = format;
    m_result = {};
    m_progress.percent.store(0);
    m_progress.done.store(false);
    m_progress.cancelRequested.store(false);
    m_thread = std::thread(&ConversionJob::run, this, inputPath, outputPath, settings);
    return true;
}

void ConversionJob::run(const QString &inputPath, const QString &outputPath,
                        ConversionSettings settings)
{
    ConversionResult result;
    try {
        result = convertFile(m_format, inputPath, outputPath, settings, &m_progress);
        if (result.ok && m_format == Format::Xml && m_validatesXml)
            result.xmlValidationError = xmlValidationError(outputPath);
    } catch (const std::exception &e) {
        diag(formatTexts(m_format).failureLog);
        result.ok = false;
        result.error = QString::fromLocal8Bit(e.what());
    }
    m_result = std::move(result);
    m_progress.done.store(true);
    // Delivered through the owner's event loop, after this function has returned.
    QMetaObject::invokeMethod(this, &ConversionJob::complete, Qt::QueuedConnection);
}

void ConversionJob::complete()
{
    if (m_thread.joinable())
        m_thread.join();
    m_running.store(false);
    Q_EMIT finished(m_result.ok, m_result.message());
}

} // namespace plotwell::convert
