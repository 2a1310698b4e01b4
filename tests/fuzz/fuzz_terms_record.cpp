// frs.dat, the one-byte record of the accepted licence terms, read from a file as the program reads
// it; the same file read as record 1 of each settings length.
#include "FuzzSupport.h"

#include "engine/settings/AlertSettingsFile.h"
#include "engine/settings/MailSettingsFile.h"
#include "engine/settings/SoundSettingsFile.h"
#include "engine/settings/TermsFile.h"
#include "engine/settings/TimeSettingsFile.h"
#include "platform/RecordFile.h"

#include <QFile>

using namespace tradevane;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UseTemporaryProgramFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    {
        QFile file(termsFilePath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }

    bool accepted = size == 0; // the opposite of what an empty file reads
    const FileError error = readTermsAccepted(accepted);
    FUZZ_CHECK(error.ok());
    FUZZ_CHECK(accepted == (size > 0 && data[0] != 0)); // an empty file reads 0

    for (int length : {kTermsRecordLength, kSoundSettingsLength, kTimeSettingsLength, kAlertSettingsLength,
             kMailSettingsLength}) {
        const RecordRead read = readRecord1(termsFilePath(), length);
        FUZZ_CHECK(read.error.ok());
        QByteArray expected = bytes.left(length);
        expected.resize(length, '\0');
        FUZZ_CHECK(read.bytes == expected);
    }
    return 0;
}
