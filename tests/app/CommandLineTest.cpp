// The program as a script or a service manager starts it: the real executable, no display, and
// what it says and how it ends when it cannot monitor.
#include "TestSupport.h"

#include "app/ProgramOptions.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>

using namespace tradevane;

namespace {

struct Ended
{
    int status = -1;
    QString out;
    QString err;
};

class CommandLine : public ::testing::Test
{
protected:
    Ended run(const QStringList& arguments)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_qs);
        environment.remove(u"WAYLAND_DISPLAY"_qs);
        environment.remove(u"QT_QPA_PLATFORM"_qs);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TRADEVANE_PROGRAM_DIR "/tradevane"), arguments);
        EXPECT_TRUE(program.waitForFinished(60000)) << "the program did not end";
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
    }
    QString file(const QString& name) const { return m_data.filePath(name); }

    QTemporaryDir m_data;
};

TEST(ProgramOptions, ReadsTheOptionsAndRefusesWhatItDoesNotKnow)
{
    const ParsedOptions headless = parseProgramOptions(
        {u"tradevane"_qs, u"--headless"_qs, u"--data"_qs, u"/srv/alerts"_qs, u"--accept-licence"_qs});
    EXPECT_TRUE(headless.error.isEmpty());
    EXPECT_TRUE(headless.options.headless);
    EXPECT_TRUE(headless.options.acceptLicence);
    EXPECT_EQ(headless.options.dataFolder, u"/srv/alerts"_qs);

    // The window system's own options are Qt's business, not mistakes.
    const ParsedOptions windowed = parseProgramOptions({u"tradevane"_qs, u"-style"_qs, u"fusion"_qs});
    EXPECT_TRUE(windowed.error.isEmpty()) << windowed.error.toStdString();
    EXPECT_FALSE(windowed.options.headless);
    EXPECT_TRUE(windowed.options.dataFolder.isEmpty());

    EXPECT_EQ(parseProgramOptions({u"tradevane"_qs, u"--headles"_qs}).error, u"Unknown option 'headles'."_qs);
    EXPECT_FALSE(parseProgramOptions({u"tradevane"_qs, u"stocks.txt"_qs}).error.isEmpty());
    EXPECT_FALSE(parseProgramOptions({u"tradevane"_qs, u"--data"_qs}).error.isEmpty());
    EXPECT_FALSE(parseProgramOptions({u"tradevane"_qs, u"--data="_qs}).error.isEmpty());
}

TEST_F(CommandLine, HelpAndMistakesNeedNoDisplay)
{
    const Ended help = run({u"--help"_qs});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(u"--headless"_qs));
    EXPECT_TRUE(help.out.contains(u"Exit status"_qs));

    const Ended wrong = run({u"--colour"_qs, u"red"_qs});
    EXPECT_EQ(wrong.status, exitStatus(ExitCode::Usage));
    EXPECT_TRUE(wrong.err.contains(u"Unknown option 'colour'"_qs)) << wrong.err.toStdString();
}

TEST_F(CommandLine, HeadlessRefusesToStartWithAClearReason)
{
    const QString folder = m_data.path();

    // A fresh folder: the licence must be accepted first, and the way to do it is named.
    const Ended fresh = run({u"--headless"_qs, u"--data"_qs, folder});
    EXPECT_EQ(fresh.status, exitStatus(ExitCode::LicenceNotAccepted));
    EXPECT_TRUE(fresh.err.contains(u"tradevane --headless --accept-licence --data "_qs + folder))
        << fresh.err.toStdString();

    // Accepting shows the terms and records the acceptance; without a quote server the start
    // then finds no connection.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    QFile servers(file(u"servers.ini"_qs));
    ASSERT_TRUE(servers.open(QIODevice::WriteOnly));
    servers.write("[servers]\nQuoteServer=http://127.0.0.1:" + QByteArray::number(port) + "\n");
    servers.close();
    const Ended accepted = run({u"--headless"_qs, u"--accept-licence"_qs, u"--data"_qs, folder});
    EXPECT_EQ(accepted.status, exitStatus(ExitCode::NoConnection)) << accepted.err.toStdString();
    EXPECT_TRUE(accepted.out.contains(u"Tradevane Freeware Licence"_qs));
    EXPECT_TRUE(accepted.out.contains(u"Licence terms accepted."_qs));
    EXPECT_TRUE(accepted.err.contains(u"cannot detect an active\ninternet connection"_qs));
    QFile terms(file(u"frs.dat"_qs));
    ASSERT_TRUE(terms.open(QIODevice::ReadOnly));
    EXPECT_EQ(terms.readAll(), QByteArray(1, '\1'));

    // A settings file that cannot be read.
    QFile::remove(file(u"Aset3.dat"_qs));
    ASSERT_TRUE(QDir(folder).mkdir(u"Aset3.dat"_qs));
    const Ended unreadable = run({u"--headless"_qs, u"--data"_qs, folder});
    EXPECT_EQ(unreadable.status, exitStatus(ExitCode::SettingsUnreadable));
    EXPECT_TRUE(unreadable.err.startsWith(u"FILE ERROR:"_qs)) << unreadable.err.toStdString();
    EXPECT_TRUE(unreadable.err.contains(u"Error Location:Alert Settings"_qs));

    // A data folder that cannot exist: below a file.
    const QString impossible = file(u"frs.dat/data"_qs);
    const Ended unusable = run({u"--headless"_qs, u"--data"_qs, impossible});
    EXPECT_EQ(unusable.status, exitStatus(ExitCode::DataFolderUnusable));
    EXPECT_TRUE(unusable.err.contains(impossible)) << unusable.err.toStdString();
}

} // namespace
