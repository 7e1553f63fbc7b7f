#pragma once

#include "convert/Conversion.h"

#include <QObject>

#include <thread>

namespace plotwell::convert {

/// Runs one conversion at a time on a thread of its own. The owner's thread reads `progress()`
/// and `isDone()` whenever it likes (a timer) and hears `finished` through its event loop once
/// the thread has ended.
class ConversionJob : public QObject
{
    Q_OBJECT
public:
    explicit ConversionJob(QObject *parent = nullptr);
    /// Asks a running conversion to stop and waits for it.
    ~ConversionJob() override;

    /// Starts converting `inputPath` into `outputPath`. Refuses, returning false and leaving the
    /// reason in `refusal`, while another conversion runs.
    bool start(Format format, const QString &inputPath, const QString &outputPath,
               const ConversionSettings &settings, QString *refusal = nullptr);
    /// Whether an XML output is parsed again once written (on the conversion's thread).
    void setValidatesXml(bool on) { m_validatesXml = on; }

    [[nodiscard]] bool isRunning() const { return m_running.load(); }
    /// Percentage of the input read by the conversion that runs or ran last.
    [[nodiscard]] int progress() const { return m_progress.percent.load(); }
    [[nodiscard]] bool isDone() const { return m_progress.done.load(); }
    void cancel() { m_progress.cancelRequested.store(true); }

    /// The result of the last conversion; valid once `finished` has been emitted.
    [[nodiscard]] const ConversionResult &lastResult() const { return m_result; }
    [[nodiscard]] Format lastFormat() const { return m_format; }

    [[nodiscard]] static QString refusalText();

Q_SIGNALS:
    /// Emitted on the job's thread. `message` tells the outcome and everything the user should
    /// know about the output.
    void finished(bool success, const QString &message);

private:
    void run(const QString &inputPath, const QString &outputPath, ConversionSettings settings);
    void complete();

    std::thread m_thread;
    std::atomic<bool> m_running{false};
    ConversionProgress m_progress;
    ConversionResult m_result;
    Format m_format = Format::Sql;
    bool m_validatesXml = true;
};

} // namespace plotwell::convert
