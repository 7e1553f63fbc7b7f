#include "platform/qt/PdfJoin.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <vector>

namespace plotwell {

QByteArray joinPdfs(const QList<QByteArray> &parts, QString *problem)
{
    if (parts.size() == 1)
        return parts.front();
    try {
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
        QPDFWriter writer(joined);
        writer.setOutputMemory();
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()),
                          qsizetype(buffer->getSize()));
    } catch (const std::exception &e) {
        if (problem)
            *problem = QString::fromLocal8Bit(e.what());
        return {};
    }
}

} // namespace plotwell
