#include "platform/qt/PdfJoin.h"

#include <QIODevice>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

namespace plotwell {

namespace {

class DevicePipeline final : public Pipeline
{
public:
    explicit DevicePipeline(QIODevice &device) : Pipeline("output", nullptr), m_device(device) {}
    void write(unsigned char const *data, size_t length) override
    {
        if (m_device.write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
            throw std::runtime_error(m_device.errorString().toStdString());
    }
    void finish() override {}

private:
    QIODevice &m_device;
};

} // namespace

bool joinPdfs(const QList<QByteArray> &parts, QIODevice &out, QString *problem)
{
    try {
        if (parts.size() == 1) {
            DevicePipeline(out).write(reinterpret_cast<const unsigned char *>(parts.front().data()),
                                      size_t(parts.front().size()));
            return true;
        }
        QPDF joined;
        joined.emptyPDF();
        QPDFPageDocumentHelper pages(joined);
        // The pages are copied from their documents only when the joined one is written.
        std::vector<std::unique_ptr<QPDF>> sources;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            auto source = std::make_unique<QPDF>();
            const QByteArray name = "part " + QByteArray::number(i + 1);
            source->processMemoryFile(name.constData(), parts[i].constData(),
                                      size_t(parts[i].size()));
            for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(*source).getAllPages())
                pages.addPage(page, false);
            sources.push_back(std::move(source));
        }
        DevicePipeline pipeline(out);
        QPDFWriter writer(joined);
        writer.setOutputPipeline(&pipeline);
        writer.write();
        return true;
    } catch (const std::exception &e) {
        if (problem)
            *problem = QString::fromLocal8Bit(e.what());
        return false;
    }
}

} // namespace plotwell
