#include "engine/settings/TermsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

QString TermsFilePath()
{
    return ProgramFile(u"frs.dat"_qs);
}

FileError ReadTermsAccepted(bool& accepted)
{
    const RecordRead read = ReadRecord1(TermsFilePath(), kTermsRecordLength);
    if (read.error.ok())
        accepted = read.bytes.at(0) != 0;
    return read.error;
}

FileError WriteTermsAccepted()
{
    return WriteRecord1(TermsFilePath(), QByteArray(1, '\1'));
}

} // namespace tradevane
