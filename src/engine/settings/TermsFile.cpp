#include "engine/settings/TermsFile.h"

#include "platform/ProgramFolder.h"

namespace tradevane {

QString termsFilePath()
{
    return programFile(u"frs.dat"_qs);
}

FileError readTermsAccepted(bool& accepted)
{
    const RecordRead read = readRecord1(termsFilePath(), kTermsRecordLength);
    if (read.error.ok())
        accepted = read.bytes.at(0) != 0;
    return read.error;
}

FileError writeTermsAccepted()
{
    return writeRecord1(termsFilePath(), QByteArray(1, '\1'));
}

} // namespace tradevane
