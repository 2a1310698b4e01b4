#include "platform/RecordFile.h"

#include "platform/MessageBox.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <bit>
#include <cerrno>
#include <cstring>

namespace tradevane {

namespace {

// Error numbers as the settings messages have always shown them.
FileError errorFrom(int err, const QFileDevice& file)
{
    FileError e;
    switch (err) {
    case ENOSPC:
        e.number = 61; // Disk full
        break;
    case EACCES:
    case EPERM:
        e.number = 70; // Permission denied
        break;
    case ENOENT:
    case ENOTDIR:
        e.number = 76; // Path not found
        break;
    case EISDIR:
    case EROFS:
        e.number = 75; // Path/File access error
        break;
    default:
        e.number = 57; // Device I/O error
        break;
    }
    e.description = err != 0 ? QString::fromLocal8Bit(std::strerror(err)) : file.errorString();
    return e;
}

} // namespace

bool isOwnerOnly(const QString& path)
{
    constexpr QFileDevice::Permissions kOthers {QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther};
    return QFileInfo::exists(path) && !(QFile::permissions(path) & kOthers);
}

RecordRead readRecord1(const QString& path, int recordLength)
{
    RecordRead result;
    QFile file(path);
    const bool exists = QFileInfo::exists(path);
    errno = 0;
    if (!(exists ? file.open(QIODevice::ReadOnly) : file.open(QIODevice::ReadWrite, kOwnerOnly))) {
        result.error = errorFrom(errno, file);
        return result;
    }
    errno = 0;
    result.bytes = file.read(recordLength);
    if (file.error() != QFileDevice::NoError) {
        result.error = errorFrom(errno, file);
        result.bytes.clear();
    }
    result.bytes.resize(recordLength, '\0');
    return result;
}

FileError writeRecord1(const QString& path, const QByteArray& record)
{
    // The record covers every byte a settings file holds; whatever a file longer than that held
    // beyond it was never the program's, and is neither read nor kept.
    return saveWholeFile(path, record);
}

FileError saveWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return errorFrom(errno, file);
    // Before a byte is written: a file that holds a password is never readable by others, not
    // even for a moment.
    if (!file.setPermissions(kOwnerOnly))
        return errorFrom(errno, file);
    errno = 0;
    // commit() alone reports success when the buffered bytes fail to reach a full disk (and
    // would put an empty file in place of the old one): the bytes are flushed and checked first.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const FileError error = errorFrom(errno, file);
        file.cancelWriting();
        return error;
    }
    errno = 0;
    if (!file.commit())
        return errorFrom(errno, file);
    return {};
}

QString fileErrorMessage(const FileError& error, const QStringList& lines)
{
    QStringList all {u"FILE ERROR:"_qs + QString::number(error.number) + u" :"_qs + error.description};
    all += lines;
    return joinLines(all);
}

void RecordWriter::int16(qint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    m_bytes.append(raw, 2);
}

void RecordWriter::uint8(quint8 value)
{
    m_bytes.append(static_cast<char>(value));
}

void RecordWriter::float64(double value)
{
    char raw[8];
    qToLittleEndian(std::bit_cast<quint64>(value), raw);
    m_bytes.append(raw, 8);
}

void RecordWriter::text(const QString& value, int width)
{
    QByteArray latin = value.left(width).toLatin1();
    latin.resize(width, ' ');
    m_bytes.append(latin);
}

quint8 RecordReader::byteAt(qsizetype offset) const
{
    return offset < m_bytes.size() ? static_cast<quint8>(m_bytes.at(offset)) : 0;
}

qint16 RecordReader::int16()
{
    const auto value = static_cast<qint16>(byteAt(m_pos) | (byteAt(m_pos + 1) << 8));
    m_pos += 2;
    return value;
}

quint8 RecordReader::uint8()
{
    return byteAt(m_pos++);
}

double RecordReader::float64()
{
    quint64 raw = 0;
    for (int i = 7; i >= 0; --i)
        raw = (raw << 8) | byteAt(m_pos + i);
    m_pos += 8;
    return std::bit_cast<double>(raw);
}

QString RecordReader::text(int width)
{
    QByteArray raw(width, ' ');
    for (int i = 0; i < width; ++i) {
        const quint8 b = byteAt(m_pos + i);
        raw[i] = b == 0 ? ' ' : static_cast<char>(b);
    }
    m_pos += width;
    return QString::fromLatin1(raw);
}

} // namespace tradevane
