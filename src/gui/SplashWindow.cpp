#include "gui/SplashWindow.h"

#include "engine/session/AppServices.h"
#include "engine/session/StartupLoad.h"
#include "gui/Logo.h"
#include "gui/MainWindow.h"
#include "gui/TermsWindow.h"
#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "platform/Version.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace tradevane {

SplashWindow::SplashWindow(AppServices& services, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_services(services)
{
    setObjectName(u"frmSplash"_qs);
    setWindowTitle(u"Tradevane"_qs);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(16, 40, 72));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);

    auto* logo = new QLabel(this);
    logo->setObjectName(u"picLogo"_qs);
    logo->setAccessibleName(u"Tradevane logo"_qs);
    logo->setPixmap(programLogo(96));

    auto* name = new QLabel(u"Tradevane"_qs, this);
    name->setObjectName(u"lblProductName"_qs);
    QFont big = name->font();
    big.setPointSize(26);
    big.setBold(true);
    name->setFont(big);

    auto* role = new QLabel(u"Stock Monitoring Software"_qs, this);
    role->setObjectName(u"lblProductRole"_qs);

    label1 = new QLabel(this);
    label1->setObjectName(u"Label1"_qs);
    label1->setAccessibleName(u"Version"_qs);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(28, 24, 36, 24);
    layout->setHorizontalSpacing(22);
    layout->addWidget(logo, 0, 0, 3, 1);
    layout->addWidget(name, 0, 1);
    layout->addWidget(role, 1, 1);
    layout->addWidget(label1, 2, 1);

    timerSplash = new QTimer(this);
    timerSplash->setObjectName(u"TimerSplash"_qs);
    timerSplash->setSingleShot(true);
    timerSplash->setTimerType(Qt::PreciseTimer);
    timerSplash->setInterval(3000);
    connect(timerSplash, &QTimer::timeout, this, &SplashWindow::onSplashTimer);
}

SplashWindow::~SplashWindow() = default;

bool SplashWindow::start()
{
    loadValues();
    if (programEnding())
        return false;
    adjustSize();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    show();
    return true;
}

void SplashWindow::loadValues()
{
    timerSplash->stop();
    label1->setText(versionText());

    // The main window's rows are filled from these records, so all loading happens before it
    // exists.
    const StartupLoad load = loadSettingsFiles(m_services);
    if (!load.ok()) {
        msgBox(initializeErrorText(load), MsgButtons::OkOnly, u"Initialize Error"_qs);
        return;
    }
    if (!load.termsAccepted) {
        TermsWindow terms;
        terms.exec(); // records the acceptance, or ends the program
    }
}

void SplashWindow::onActivated()
{
    if (!m_main && !timerSplash->isActive())
        timerSplash->start();
}

void SplashWindow::onSplashTimer()
{
    timerSplash->stop();
    close();
}

bool SplashWindow::event(QEvent* event)
{
    // Showing counts as activation: without a window manager a new window is not always made
    // active, and the hand-over must come all the same.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        onActivated();
    return QWidget::event(event);
}

void SplashWindow::closeEvent(QCloseEvent* event)
{
    // Closed by its timer or by the user: either way the main window comes next.
    timerSplash->stop();
    if (!m_main && !programEnding()) {
        m_main = std::make_unique<MainWindow>(m_services);
        m_main->show();
    }
    event->accept();
}

} // namespace tradevane
