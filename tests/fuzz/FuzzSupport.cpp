#include "FuzzSupport.h"

#include "platform/ProgramFolder.h"

#include <QDir>

using namespace tradevane;

namespace fuzz {

QString UseTemporaryProgramFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + u"/tradevane-fuzz-XXXXXX"_qs);
    FUZZ_CHECK(folder.isValid());
    setProgramFolder(folder.path());
    return folder.path();
}

} // namespace fuzz
