// The program as a script or a service manager starts it: the real executable, no display, and
// what it says and how it ends when it cannot monitor.
#include "TestSupport.h"

#include "CycleFixture.h"

#include "app/ProgramOptions.h"
#include "engine/settings/AlertSettingsFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace tradevane;

namespace {

struct Ended
{
    int status = -1;
    QString out;
    QString err;
};

// The program runs on the test's program folder as its data folder.
class CommandLine : public ProgramTest
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
        // The loopback servers of a test answer from this event loop.
        EXPECT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 60000))
            << "the program did not end";
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
    }
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
    const QString folder = m_folder.path();

    // A fresh folder: the licence must be accepted first, and the way to do it is named.
    const Ended fresh = run({u"--headless"_qs, u"--data"_qs, folder});
    EXPECT_EQ(fresh.status, exitStatus(ExitCode::LicenceNotAccepted));
    EXPECT_TRUE(fresh.err.contains(u"tradevane --headless --accept-licence --data "_qs + folder))
        << fresh.err.toStdString();

    // Accepting shows the terms and records the acceptance; without a quote server at its address
    // the start then finds no prices, and says where it looked.
    const int port = unusedLoopbackPort();
    writeFile(
        u"servers.ini"_qs, "[servers]\nQuoteServer=http://127.0.0.1:" + QByteArray::number(port) + "\n");
    const Ended accepted = run({u"--headless"_qs, u"--accept-licence"_qs, u"--data"_qs, folder});
    EXPECT_EQ(accepted.status, exitStatus(ExitCode::NoConnection)) << accepted.err.toStdString();
    EXPECT_TRUE(accepted.out.contains(u"Tradevane Freeware Licence"_qs));
    EXPECT_TRUE(accepted.out.contains(u"Licence terms accepted."_qs));
    EXPECT_TRUE(
        accepted.err.contains(u"No quote server answers at http://127.0.0.1:"_qs + QString::number(port)))
        << accepted.err.toStdString();
    EXPECT_EQ(readFile(u"frs.dat"_qs), QByteArray(1, '\1'));

    // A settings file that cannot be read.
    QFile::remove(path(u"Aset3.dat"_qs));
    ASSERT_TRUE(QDir(folder).mkdir(u"Aset3.dat"_qs));
    const Ended unreadable = run({u"--headless"_qs, u"--data"_qs, folder});
    EXPECT_EQ(unreadable.status, exitStatus(ExitCode::SettingsUnreadable));
    EXPECT_TRUE(unreadable.err.startsWith(u"FILE ERROR:"_qs)) << unreadable.err.toStdString();
    EXPECT_TRUE(unreadable.err.contains(u"Error Location:Alert Settings"_qs));

    // A data folder that cannot exist: below a file.
    const QString impossible = path(u"frs.dat/data"_qs);
    const Ended unusable = run({u"--headless"_qs, u"--data"_qs, impossible});
    EXPECT_EQ(unusable.status, exitStatus(ExitCode::DataFolderUnusable));
    EXPECT_TRUE(unusable.err.contains(impossible)) << unusable.err.toStdString();
}

TEST_F(CommandLine, PreviewPrintsTheDaysAndTheCountsOfAStocksStoredSettings)
{
    LoopbackHttpServer http;
    ASSERT_TRUE(http.start());
    // The date of the eighth day back, one of those above the level, comes with a terminal's
    // escape sequence in it.
    QByteArray history = makeHistory(QDate::currentDate(), 252, 10);
    qsizetype line = 0;
    for (int i = 0; i < 8; ++i)
        line = history.indexOf('\n', line) + 1;
    history.replace(line, 10, "\x1b]0;x\x07-1");
    http.serve(u"/table.csv"_qs, history);
    writeFile(u"servers.ini"_qs, "[servers]\nHistoryServer=" + http.baseUrl().toUtf8() + "\n");
    writeFile(u"frs.dat"_qs, QByteArray(1, '\1'));
    AlertSettings abc;
    applyDefaultAlertSettings(abc);
    abc.watch = Watch::On;
    abc.symbol = u"ABC"_qs;
    abc.alertsOn.fill(false);
    abc.on(AlertKind::PriceAbove) = true;
    abc.priceAbove = 10.4; // the closes wave between 9.5 and 10.5
    writeFile(u"Aset2.dat"_qs, encodeRecord(abc));
    const QString folder = m_folder.path();

    const Ended text = run({u"--preview"_qs, u"abc"_qs, u"--data"_qs, folder});
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains(u"Alert preview of ABC (stock #2)"_qs)) << text.out.toStdString();
    // A date field the server filled with a terminal's escape sequence shows what is left of it.
    EXPECT_TRUE(text.out.contains(u"\n-1          ABC    : Price climbed above $10.40"_qs))
        << text.out.toStdString();
    EXPECT_FALSE(text.out.contains(QChar(0x1b)));
    EXPECT_FALSE(text.out.contains(u"]0;x"_qs));
    EXPECT_EQ(http.requests().size(), 1);
    EXPECT_TRUE(http.requests().constFirst().startsWith(u"/table.csv?s=abc&"_qs));

    const Ended json = run({u"--preview"_qs, u"2"_qs, u"--json"_qs, u"--data"_qs, folder});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(root[u"days"_qs].toInt(), 252);
    const int reporting = root[u"reportingDays"_qs].toInt();
    EXPECT_GT(reporting, 0);
    EXPECT_TRUE(
        text.out.contains(u"Would have reported on "_qs + QString::number(reporting) + u" of 252 days."_qs));
    const QJsonObject kind = root[u"kinds"_qs].toArray().at(0).toObject();
    EXPECT_EQ(kind[u"kind"_qs].toString(), u"PriceAbove"_qs);
    EXPECT_EQ(kind[u"days"_qs].toInt(), reporting);

    // From a date on: fewer days; a stock that is none of the ten.
    const QString from = QDate::currentDate().addDays(-30).toString(Qt::ISODate);
    const Ended recent
        = run({u"--preview"_qs, u"ABC"_qs, u"--from"_qs, from, u"--json"_qs, u"--data"_qs, folder});
    EXPECT_LT(QJsonDocument::fromJson(recent.out.toUtf8()).object()[u"days"_qs].toInt(), 25);
    EXPECT_EQ(run({u"--preview"_qs, u"XYZ"_qs, u"--data"_qs, folder}).status, exitStatus(ExitCode::Usage));
    EXPECT_EQ(run({u"--preview"_qs, u"11"_qs, u"--data"_qs, folder}).status, exitStatus(ExitCode::Usage));
}

} // namespace
