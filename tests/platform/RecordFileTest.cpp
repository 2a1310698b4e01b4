#include "TestSupport.h"

#include "engine/settings/MailSettingsFile.h"
#include "platform/RecordFile.h"

#include <QDir>
#include <QFile>

using namespace tradevane;

namespace {

using RecordFile = ProgramTest;

// Owner, group and others (Qt adds the bits of the user running the test on top).
constexpr auto kModeBits = QFile::Permissions(0x7077);

TEST_F(RecordFile, FieldsArePackedLittleEndianAndReadBackPastTheEndAsZero)
{
    RecordWriter w;
    w.int16(-2);
    w.uint8(7);
    w.float64(-0.5);
    w.text(u"Zürich"_qs, 4);
    EXPECT_EQ(w.bytes(), fromHex("FE FF 07 00 00 00 00 00 00 E0 BF 5A FC 72 69"));

    RecordReader r(w.bytes().left(3));
    EXPECT_EQ(r.int16(), -2);
    EXPECT_EQ(r.uint8(), 7);
    EXPECT_EQ(r.float64(), 0.0);
    EXPECT_EQ(r.text(3), u"   "_qs);
}

TEST_F(RecordFile, FailuresComeBackWithANumberAndADescription)
{
    QDir(m_folder.path()).mkdir(u"mailset.dat"_qs);
    MailSettings mail;
    const FileError read = readMailSettings(mail);
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(read.description.isEmpty());
    EXPECT_TRUE(fileErrorMessage(read, {u"Error Location:Email Settings"_qs})
                    .startsWith(u"FILE ERROR:"_qs + QString::number(read.number) + u" :"_qs));
    EXPECT_FALSE(writeRecord1(path(u"no/such/folder.dat"_qs), "x").ok());
}

// A file is the record alone, for its owner only: a huge old file is not read, what it held past
// the record is dropped, and one readable by others becomes private.
TEST_F(RecordFile, ASaveReplacesTheFileWithTheRecordForItsOwnerOnly)
{
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    writeFile(u"rec.dat"_qs, "AAAA" + QByteArray(4 << 20, 't'));
    const QString file = path(u"rec.dat"_qs);
    ASSERT_TRUE(QFile::setPermissions(file, ownerOnly | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(isOwnerOnly(file));
    ASSERT_TRUE(writeRecord1(file, "BBBB").ok());
    EXPECT_EQ(readFile(u"rec.dat"_qs), "BBBB");
    EXPECT_EQ(QFile::permissions(file) & kModeBits, ownerOnly);
    EXPECT_TRUE(isOwnerOnly(file));

    // Shorter than the record: the record is the whole file.
    writeFile(u"short.dat"_qs, "A");
    ASSERT_TRUE(writeRecord1(path(u"short.dat"_qs), "BBB").ok());
    EXPECT_EQ(readFile(u"short.dat"_qs), "BBB");

    // New files, saved or created empty by a read, are private from the start.
    ASSERT_TRUE(writeRecord1(path(u"new.dat"_qs), "secret").ok());
    EXPECT_EQ(QFile::permissions(path(u"new.dat"_qs)) & kModeBits, ownerOnly);
    ASSERT_TRUE(readRecord1(path(u"empty.dat"_qs), 4).error.ok());
    EXPECT_EQ(QFile::permissions(path(u"empty.dat"_qs)) & kModeBits, ownerOnly);

    // Nothing is left beside the files.
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

} // namespace
