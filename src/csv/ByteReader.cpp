#include "csv/ByteReader.h"

#include <QFile>
#include <QIODevice>

#include <cstring>

namespace plotwell::csv {

DeviceByteReader::DeviceByteReader(QIODevice *device) : m_device(device)
{
    if (m_device && !m_device->isOpen()) {
        m_openedHere = m_device->open(QIODevice::ReadOnly);
        if (!m_openedHere)
            m_openError = m_device->errorString();
    }
}

DeviceByteReader::~DeviceByteReader()
{
    if (m_openedHere)
        m_device->close();
}

qint64 DeviceByteReader::read(char *data, qint64 maxSize)
{
    if (!m_device || !m_device->isReadable())
        return -1;
    const qint64 n = m_device->read(data, maxSize);
    if (n == 0 && m_device->isSequential() && !m_device->atEnd()) {
        // A pipe or socket with nothing buffered yet: wait for more rather than end early.
        if (m_device->waitForReadyRead(-1))
            return m_device->read(data, maxSize);
    }
    return n;
}

QString DeviceByteReader::errorString() const
{
    if (!m_openError.isEmpty())
        return m_openError;
    return m_device ? m_device->errorString() : QString();
}

struct FileByteReader::File
{
    QFile file;
    bool opened = false;
};

FileByteReader::FileByteReader(const QString &path) : m_file(std::make_unique<File>())
{
    m_file->file.setFileName(path);
    m_file->opened = m_file->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

FileByteReader::~FileByteReader() = default;

qint64 FileByteReader::read(char *data, qint64 maxSize)
{
    if (!m_file->opened)
        return -1;
    return m_file->file.read(data, maxSize);
}

QString FileByteReader::errorString() const
{
    return m_file->file.errorString();
}

qint64 MemoryByteReader::read(char *data, qint64 maxSize)
{
    const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_offset);
    if (n <= 0)
        return 0;
    std::memcpy(data, m_bytes.constData() + m_offset, size_t(n));
    m_offset += n;
    return n;
}

} // namespace plotwell::csv
