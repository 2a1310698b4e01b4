#include "gui/SourceWindow.h"

#include "engine/settings/ServerSettings.h"
#include "engine/settings/SettingsStore.h"
#include "engine/settings/SourceSettings.h"
#include "gui/FormControls.h"
#include "platform/MessageBox.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tradevane {

namespace {

// A note under a choice: what it gives, in plain words.
QLabel* note(const QString& text, const QString& name, QWidget* parent)
{
    QLabel* label = caption(text, name, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setIndent(24);
    return label;
}

} // namespace

SourceWindow::SourceWindow(SettingsStore& settings, bool firstRun, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(u"frmDataSource"_qs);
    setWindowTitle(u"Tradevane - Data Source"_qs);
    setAccessibleName(u"Data Source"_qs);

    m_optLive = named<QRadioButton>(u"Live delayed prices from the internet"_qs, u"optLive"_qs, this);
    m_optSimulated = named<QRadioButton>(u"Simulated market"_qs, u"optSimulated"_qs, this);
    m_optReplay = named<QRadioButton>(u"Replay price files from a folder"_qs, u"optReplay"_qs, this);
    m_optServers = named<QRadioButton>(u"Quote and history servers"_qs, u"optServers"_qs, this);
    m_choices = new QButtonGroup(this);
    for (QRadioButton* option : {m_optLive, m_optSimulated, m_optReplay, m_optServers})
        m_choices->addButton(option);

    m_txtSeed = entryBox(u"txtSeed"_qs, u"Seed of the simulated market"_qs, this);
    m_txtReplayFolder = entryBox(u"txtReplayFolder"_qs, u"Replay folder"_qs, this);
    m_cmdBrowse
        = named<QPushButton>(u"Browse..."_qs, u"cmdBrowse"_qs, this, u"Browse for the replay folder"_qs);
    m_txtQuoteServer = entryBox(u"txtQuoteServer"_qs, u"Quote server address"_qs, this);
    m_txtHistoryServer = entryBox(u"txtHistoryServer"_qs, u"History server address"_qs, this);
    m_cmdSave = named<QPushButton>(u"Save"_qs, u"cmdSave"_qs, this);
    m_cmdCancel = named<QPushButton>(u"Cancel"_qs, u"cmdCancel"_qs, this);
    m_cmdSave->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    if (firstRun) {
        QLabel* welcome
            = note(u"Choose where Tradevane takes its prices from. You can change it later with the Data "
                   "Source button of the main window."_qs,
                u"lblFirstRun"_qs, this);
        welcome->setIndent(0);
        layout->addWidget(welcome);
        layout->addSpacing(6);
    }
    layout->addWidget(m_optLive);
    layout->addWidget(note(u"Real prices, delayed by about 15 minutes, fetched from a public web service."_qs,
        u"lblLiveNote"_qs, this));
    layout->addWidget(m_optSimulated);
    auto* seedRow = new QHBoxLayout;
    seedRow->addSpacing(24);
    seedRow->addWidget(caption(u"Seed:"_qs, u"lblSeed"_qs, this));
    seedRow->addWidget(m_txtSeed, 1);
    layout->addLayout(seedRow);
    layout->addWidget(note(u"Not real prices: a market made up inside the program, moving through the day. "
                           "For trying Tradevane out."_qs,
        u"lblSimulatedNote"_qs, this));
    layout->addWidget(m_optReplay);
    auto* folderRow = new QHBoxLayout;
    folderRow->addSpacing(24);
    folderRow->addWidget(m_txtReplayFolder, 1);
    folderRow->addWidget(m_cmdBrowse);
    layout->addLayout(folderRow);
    layout->addWidget(
        note(u"Not real prices: daily bars from your own SYMBOL.csv files (Date, Open, High, Low, "
             "Close, Volume), replayed as the past year."_qs,
            u"lblReplayNote"_qs, this));
    layout->addWidget(m_optServers);
    auto* servers = new QFormLayout;
    servers->setContentsMargins(24, 0, 0, 0);
    servers->addRow(caption(u"Quote server:"_qs, u"lblQuoteServer"_qs, this), m_txtQuoteServer);
    servers->addRow(caption(u"History server:"_qs, u"lblHistoryServer"_qs, this), m_txtHistoryServer);
    layout->addLayout(servers);
    layout->addWidget(note(u"A Tradevane quote service (tradevane-quoted) on this or another computer, which "
                           "shares one source between machines."_qs,
        u"lblServersNote"_qs, this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCancel);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(m_choices, &QButtonGroup::buttonToggled, this, [this] { followChoice(); });
    connect(m_cmdBrowse, &QPushButton::clicked, this, &SourceWindow::onBrowseClicked);
    connect(m_cmdSave, &QPushButton::clicked, this, &SourceWindow::onSaveClicked);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    loadValues();
}

void SourceWindow::loadValues()
{
    const SourceSettings& source = m_settings.source;
    m_txtSeed->setText(QString::number(source.seed));
    m_txtReplayFolder->setText(QDir::toNativeSeparators(source.replayFolder));
    m_txtQuoteServer->setText(m_settings.servers.quoteServer);
    m_txtHistoryServer->setText(m_settings.servers.historyServer);
    switch (source.kind) {
    case SourceKind::Simulated:
        m_optSimulated->setChecked(true);
        break;
    case SourceKind::Replay:
        m_optReplay->setChecked(true);
        break;
    case SourceKind::Live:
        m_optLive->setChecked(true);
        break;
    case SourceKind::Servers:
        m_optServers->setChecked(true);
        break;
    }
    followChoice();
}

// Only the boxes of the chosen source take input.
void SourceWindow::followChoice()
{
    m_txtSeed->setEnabled(m_optSimulated->isChecked());
    m_txtReplayFolder->setEnabled(m_optReplay->isChecked());
    m_cmdBrowse->setEnabled(m_optReplay->isChecked());
    m_txtQuoteServer->setEnabled(m_optServers->isChecked());
    m_txtHistoryServer->setEnabled(m_optServers->isChecked());
}

void SourceWindow::onBrowseClicked()
{
    auto* dialog = new QFileDialog(this, u"Replay folder"_qs, m_txtReplayFolder->text());
    dialog->setObjectName(u"dlgReplayFolder"_qs);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this,
        [this](const QString& folder) { m_txtReplayFolder->setText(QDir::toNativeSeparators(folder)); });
    dialog->open();
}

void SourceWindow::onSaveClicked()
{
    SourceSettings source = m_settings.source;
    ServerSettings servers = m_settings.servers;
    const auto refuse = [](const QString& text) { msgBox(text, MsgButtons::OkOnly, u"Check input"_qs); };
    if (m_optSimulated->isChecked()) {
        const std::optional<SourceSettings> simulated
            = sourceFromArgument(u"simulate:"_qs + m_txtSeed->text().trimmed());
        if (!simulated) {
            refuse(u"The seed of the simulated market must be a whole number (0 or more)."_qs);
            return;
        }
        source = *simulated;
    } else if (m_optReplay->isChecked()) {
        const QString folder = QDir::fromNativeSeparators(m_txtReplayFolder->text().trimmed());
        if (folder.isEmpty() || !QDir(folder).exists()) {
            refuse(u"Choose a folder that holds the price files to replay."_qs);
            return;
        }
        source.kind = SourceKind::Replay;
        source.replayFolder = QDir(folder).absolutePath();
    } else if (m_optLive->isChecked()) {
        source.kind = SourceKind::Live;
    } else {
        const std::optional<QString> quote = serverAddress(m_txtQuoteServer->text().trimmed());
        const std::optional<QString> history = serverAddress(m_txtHistoryServer->text().trimmed());
        if (!quote || !history) {
            refuse(u"A server address begins with http:// or https:// and names a host, for example "
                   "http://127.0.0.1:8470."_qs);
            return;
        }
        source.kind = SourceKind::Servers;
        servers = {*quote, *history};
    }
    FileError error = writeSourceSettings(source);
    if (error.ok() && source.kind == SourceKind::Servers
        && !(servers.quoteServer == m_settings.servers.quoteServer
            && servers.historyServer == m_settings.servers.historyServer))
        error = writeServerSettings(servers);
    if (!error.ok()) {
        msgBox(fileErrorMessage(error, {u"Unable to open/write to the 'Data Source' file"_qs}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        return;
    }
    m_settings.source = source;
    m_settings.servers = servers;
    m_settings.askForSource = false;
    accept();
}

} // namespace tradevane
