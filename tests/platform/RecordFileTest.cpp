#include "TestSupport.h"

#include "notify/MailSettingsFile.h"
#include "platform/RecordFile.h"

#include <QDir>

namespace {

using RecordFile = ProgramTest;

TEST_F(RecordFile, FieldsArePackedLittleEndianAndReadBackPastTheEndAsZero)
{
    RecordWriter w;
    w.int16(-2);
    w.uint8(7);
    w.float64(-0.5);
    w.text(u"Zürich"_qs, 4);
    EXPECT_EQ(w.bytes(), FromHex("FE FF 07 00 00 00 00 00 00 E0 BF 5A FC 72 69"));

    RecordReader r(w.bytes().left(3));
    EXPECT_EQ(r.int16(), -2);
    EXPECT_EQ(r.uint8(), 7);
    EXPECT_EQ(r.float64(), 0.0);
    EXPECT_EQ(r.text(3), u"   "_qs);
}

TEST_F(RecordFile, FailuresComeBackWithANumberAndADescription)
{
    QDir(folder.path()).mkdir(u"mailset.dat"_qs);
    MailSettings mail;
    const FileError read = ReadMailSettings(mail);
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(read.description.isEmpty());
    EXPECT_TRUE(FileErrorMessage(read, {u"Error Location:Email Settings"_qs})
                    .startsWith(u"FILE ERROR:"_qs + QString::number(read.number) + u" :"_qs));
    EXPECT_FALSE(WriteRecord1(path(u"no/such/folder.dat"_qs), "x").ok());
}

} // namespace
