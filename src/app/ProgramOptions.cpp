#include "app/ProgramOptions.h"

#include <QCommandLineParser>

namespace tradevane {

namespace {

const QCommandLineOption kHeadless(u"headless"_qs,
    u"Monitor without a window: start at once, write each log record to standard output as well, "
    "mail the alerts (no sound, no notice). Ends with the stop lines on SIGTERM or SIGINT."_qs);
const QCommandLineOption kData(u"data"_qs,
    u"Keep settings and the activity log in DIR instead of the user's data folder."_qs, u"DIR"_qs);
const QCommandLineOption kAcceptLicence(
    u"accept-licence"_qs, u"Show the licence terms on the terminal and accept them (for --headless)."_qs);
const QCommandLineOption kSource(u"source"_qs,
    u"Take this run's prices from SOURCE instead of the one chosen in the Data Source window: "
    "simulate[:SEED] (a simulated market, not real prices), replay:DIR (the SYMBOL.csv files of DIR, "
    "not real prices), live (delayed prices from the internet) or servers (the servers of servers.ini)."_qs,
    u"SOURCE"_qs);
const QCommandLineOption kPreview(u"preview"_qs,
    u"Print what the alert settings of STOCK (its number 1 to 10 or its symbol) would have reported "
    "on each day of its past year of prices, and how often each alert would have fired. The prices "
    "come from the chosen data source (or --source)."_qs,
    u"STOCK"_qs);
const QCommandLineOption kFrom(
    u"from"_qs, u"With --preview: only the days from DATE (yyyy-mm-dd) on."_qs, u"DATE"_qs);
const QCommandLineOption kJson(u"json"_qs, u"With --preview: print JSON instead of text."_qs);
const QCommandLineOption kHelp({u"h"_qs, u"help"_qs}, u"Show this help."_qs);

// The window system's options that the windowed program passes on to Qt, accepted here so that
// they are not taken for unknown ones.
QList<QCommandLineOption> windowSystemOptions()
{
    QList<QCommandLineOption> options;
    for (const char* name : {"platform", "platformtheme", "display", "style", "stylesheet", "qwindowgeometry",
             "qwindowtitle", "qwindowicon"})
        options.append(QCommandLineOption(QString::fromLatin1(name), QString(), u"value"_qs));
    for (const char* name : {"reverse", "nograb", "dograb", "sync"})
        options.append(QCommandLineOption(QString::fromLatin1(name)));
    for (QCommandLineOption& option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

void addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(u"Tradevane watches your stocks through the trading day and alerts "
                                     "you by sound, notice and e-mail."_qs);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(kHeadless);
    parser.addOption(kData);
    parser.addOption(kAcceptLicence);
    parser.addOption(kSource);
    parser.addOption(kPreview);
    parser.addOption(kFrom);
    parser.addOption(kJson);
    parser.addOption(kHelp);
    parser.addOptions(windowSystemOptions());
}

} // namespace

ParsedOptions parseProgramOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error = u"Unexpected argument '%1'."_qs.arg(parser.positionalArguments().constFirst());
        return parsed;
    }
    ProgramOptions& options = parsed.options;
    options.headless = parser.isSet(kHeadless);
    options.acceptLicence = parser.isSet(kAcceptLicence);
    options.help = parser.isSet(kHelp);
    options.dataFolder = parser.value(kData);
    if (parser.isSet(kData) && options.dataFolder.trimmed().isEmpty())
        parsed.error = u"--data needs a folder."_qs;
    if (parser.isSet(kSource)) {
        QString problem;
        options.source = sourceFromArgument(parser.value(kSource).trimmed(), &problem);
        if (!options.source)
            parsed.error = u"--source: "_qs + problem;
    }
    options.preview = parser.value(kPreview).trimmed();
    options.json = parser.isSet(kJson);
    if (parser.isSet(kPreview) && options.preview.isEmpty())
        parsed.error = u"--preview needs a stock: its number 1 to 10 or its symbol."_qs;
    if (parser.isSet(kFrom)) {
        options.previewFrom = QDate::fromString(parser.value(kFrom).trimmed(), Qt::ISODate);
        if (!options.previewFrom.isValid())
            parsed.error = u"--from needs a date such as 2026-01-31."_qs;
    }
    if ((parser.isSet(kFrom) || options.json) && !parser.isSet(kPreview))
        parsed.error = u"--from and --json go with --preview."_qs;
    return parsed;
}

QString programUsageText(const QString& program)
{
    QCommandLineParser parser;
    addOptions(parser);
    QString text = parser.helpText();
    // The parser names the program from the running application; the usage line names `program`.
    const qsizetype lineEnd = text.indexOf(u'\n');
    text.replace(0, lineEnd, u"Usage: "_qs + program + u" [options]"_qs);
    return text + uR"(
Exit status: 0 stopped normally (or the preview printed), 1 no preview (the stock has no symbol or
its prices could not be fetched), 2 no connection to the quote server, 3 licence not accepted yet,
4 settings unreadable, 5 already running on this data folder, 6 data folder unusable, 64 unknown
option or stock.
)"_qs;
}

} // namespace tradevane
