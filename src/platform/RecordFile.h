#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace tradevane {

// Settings files hold one fixed-length binary record each, read and written whole as record
// number 1: little-endian integers, IEEE 754 binary64 floats, single-byte (Latin-1) texts
// padded with spaces.

// 16-bit flags as the records store them: -1 for true and 0 for false. A codec decides what any
// other value means for its field: exactly true (IsTrue) or anything set (IsSet).
constexpr qint16 kStoredTrue = -1;
constexpr bool isTrue(qint16 stored)
{
    return stored == kStoredTrue;
}
constexpr bool isSet(qint16 stored)
{
    return stored != 0;
}
constexpr qint16 storedFlag(bool on)
{
    return on ? kStoredTrue : qint16(0);
}

struct FileError
{
    int number = 0; // 0: no error
    QString description;

    bool ok() const { return number == 0; }
};

struct RecordRead
{
    FileError error;
    QByteArray bytes; // exactly the record length; bytes past the end of the file are zeros
};

// Every file the program writes is its user's alone: watched stocks, alerts, the log and the mail
// password are nobody else's business.
inline constexpr QFileDevice::Permissions kOwnerOnly {QFileDevice::ReadOwner | QFileDevice::WriteOwner};

// The file exists and grants nothing to the group or to others.
bool isOwnerOnly(const QString& path);

// Opens `path`, creating it empty (owner-only) when it does not exist, and reads record 1.
[[nodiscard]] RecordRead readRecord1(const QString& path, int recordLength);

// Writes `record` as the whole file, creating it when missing: the old file is not read, and bytes
// a longer one held past the record are dropped. The file is replaced at once (written beside it,
// then renamed over it), so a failed save leaves the previous file intact. The saved file is
// owner-only, as saveWholeFile makes it.
[[nodiscard]] FileError writeRecord1(const QString& path, const QByteArray& record);

// Replaces the file at `path` with `bytes` at once, or leaves it as it was and says why. The saved
// file is owner-only (kOwnerOnly), a new one and one that was readable by others alike.
[[nodiscard]] FileError saveWholeFile(const QString& path, const QByteArray& bytes);

// "FILE ERROR:" <number> " :" <description>, then `lines`, all joined by CR LF.
QString fileErrorMessage(const FileError& error, const QStringList& lines);

// Fills a record field by field, in file order.
class RecordWriter
{
public:
    void int16(qint16 value);
    void uint8(quint8 value);
    void float64(double value);
    void text(const QString& value, int width); // cut to width, padded with spaces

    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// Reads a record field by field, in file order; reads past the end give zeros.
class RecordReader
{
public:
    explicit RecordReader(const QByteArray& bytes)
        : m_bytes(bytes)
    { }

    qint16 int16();
    quint8 uint8();
    double float64();
    QString text(int width); // NUL bytes read as spaces

private:
    quint8 byteAt(qsizetype offset) const;

    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// Record types provide `QByteArray EncodeRecord(const R&)` and `void DecodeRecord(const QByteArray&, R&)`.
template<typename Record>
[[nodiscard]] FileError readRecordFile(const QString& path, int recordLength, Record& record)
{
    const RecordRead read = readRecord1(path, recordLength);
    if (read.error.ok())
        decodeRecord(read.bytes, record);
    return read.error;
}

template<typename Record> [[nodiscard]] FileError writeRecordFile(const QString& path, const Record& record)
{
    return writeRecord1(path, encodeRecord(record));
}

} // namespace tradevane
