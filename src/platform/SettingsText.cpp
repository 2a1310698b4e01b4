#include "platform/SettingsText.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace tradevane {

QString SmallFileRead::text() const
{
    QString decoded = QString::fromUtf8(bytes);
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    return decoded;
}

SmallFileRead readSmallFile(const QString& path, qint64 maxBytes)
{
    SmallFileRead read;
    QFile file(path);
    if (!file.exists())
        return read;
    read.exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = file.errorString();
        return read;
    }
    read.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        read.error = file.errorString();
    else if (read.bytes.size() > maxBytes)
        read.error = u"larger than "_qs + QString::number(maxBytes) + u" bytes"_qs;
    if (!read.error.isEmpty())
        read.bytes.clear();
    return read;
}

std::optional<IniStop> walkIni(const QString& text, const IniEntry& entry)
{
    static const QRegularExpression kLineEnd(u"\r\n|\r|\n"_qs);
    const QStringList lines = text.split(kLineEnd);
    QString section;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int number = static_cast<int>(i + 1);
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return IniStop {number, line, {}};
        if (std::optional<QString> refused
            = entry(section, line.left(equals).trimmed(), line.mid(equals + 1).trimmed()))
            return IniStop {number, line, std::move(*refused)};
    }
    return std::nullopt;
}

std::optional<bool> iniFlag(const QString& value)
{
    if (value == u"1"_qs || value.compare(u"true"_qs, Qt::CaseInsensitive) == 0)
        return true;
    if (value == u"0"_qs || value.compare(u"false"_qs, Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace tradevane
