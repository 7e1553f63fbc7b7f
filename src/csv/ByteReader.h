#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

namespace plotwell::csv {

/// A source of bytes for the parser. `read` fills up to `maxSize` bytes and returns how many it
/// wrote; 0 means the input has ended, a negative value that reading failed (`errorString` then
/// says why). A reader may hand out fewer bytes than asked for at any time.
class ByteReader
{
public:
    virtual ~ByteReader() = default;
    virtual qint64 read(char *data, qint64 maxSize) = 0;
    virtual QString errorString() const { return {}; }
};

/// Reads a QIODevice, opening it for reading if it is not open yet. The device is not owned; it is
/// closed again on destruction only if this reader opened it.
class DeviceByteReader : public ByteReader
{
public:
    explicit DeviceByteReader(QIODevice *device);
    ~DeviceByteReader() override;
    qint64 read(char *data, qint64 maxSize) override;
    QString errorString() const override;

private:
    QIODevice *m_device;
    bool m_openedHere = false;
    QString m_openError;
};

/// Reads a file by path with unbuffered reads (the parser asks for large blocks itself).
class FileByteReader : public ByteReader
{
public:
    explicit FileByteReader(const QString &path);
    ~FileByteReader() override;
    qint64 read(char *data, qint64 maxSize) override;
    QString errorString() const override;

private:
    struct File;
    std::unique_ptr<File> m_file;
};

/// Hands out the bytes of an in-memory buffer (shared, not copied).
class MemoryByteReader : public ByteReader
{
public:
    explicit MemoryByteReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    qint64 read(char *data, qint64 maxSize) override;

private:
    QByteArray m_bytes;
    qint64 m_offset = 0;
};

} // namespace plotwell::csv
