#include "gui/TrayIcon.h"

#include "engine/alerts/AlertEvaluation.h"
#include "gui/Logo.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace tradevane {

namespace {

constexpr int kIconSize = 64;

// The logo with a mark in its lower left corner; without colour it is the stopped look.
QIcon stateIcon(TrayLook look)
{
    QImage image = programLogoImage(kIconSize);
    if (look == TrayLook::Stopped) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
            }
        }
        return QIcon(QPixmap::fromImage(image));
    }
    if (look == TrayLook::Waiting)
        return QIcon(QPixmap::fromImage(image));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF mark(kIconSize * 0.04, kIconSize * 0.52, kIconSize * 0.44, kIconSize * 0.44);
    p.setPen(QPen(Qt::white, kIconSize * 0.04));
    p.setBrush(look == TrayLook::Alert ? QColor(220, 20, 20) : QColor(40, 140, 255));
    p.drawEllipse(mark);
    if (look == TrayLook::Alert) {
        QFont bold;
        bold.setBold(true);
        bold.setPixelSize(kIconSize / 3);
        p.setFont(bold);
        p.drawText(mark, Qt::AlignCenter, u"!"_qs);
    }
    return QIcon(QPixmap::fromImage(image));
}

QString lookText(TrayLook look)
{
    switch (look) {
    case TrayLook::Stopped:
        return u"stopped"_qs;
    case TrayLook::Waiting:
        return u"waiting"_qs;
    case TrayLook::Downloading:
        return u"downloading"_qs;
    case TrayLook::Alert:
        return u"ALERT"_qs;
    }
    return {};
}

} // namespace

TrayIcon::TrayIcon(MonitoringSession& engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{
    setObjectName(u"trayIcon"_qs);
    for (const TrayLook look : {TrayLook::Stopped, TrayLook::Waiting, TrayLook::Downloading, TrayLook::Alert})
        m_icons[static_cast<size_t>(look)] = stateIcon(look);

    menu = new QMenu;
    menu->setObjectName(u"mnuTray"_qs);
    menu->setAccessibleName(u"Tradevane"_qs);
    actShowWindow = menu->addAction(u"Show window"_qs);
    actShowWindow->setObjectName(u"mnuShowWindow"_qs);
    menu->addSeparator();
    actStart = menu->addAction(u"Start"_qs);
    actStart->setObjectName(u"mnuStart"_qs);
    actStop = menu->addAction(u"Stop"_qs);
    actStop->setObjectName(u"mnuStop"_qs);
    menu->addSeparator();
    actExit = menu->addAction(u"Exit"_qs);
    actExit->setObjectName(u"mnuExit"_qs);
    connect(actShowWindow, &QAction::triggered, this, [this] {
        alertSeen();
        emit showWindowRequested();
    });
    connect(actStart, &QAction::triggered, this, &TrayIcon::startRequested);
    connect(actStop, &QAction::triggered, this, &TrayIcon::stopRequested);
    connect(actExit, &QAction::triggered, this, &TrayIcon::exitRequested);

    m_icon = new QSystemTrayIcon(this);
    m_icon->setObjectName(u"trayIcon"_qs);
    m_icon->setContextMenu(menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
            alertSeen();
            emit showWindowRequested();
        }
    });

    connect(&m_engine, &MonitoringSession::stateChanged, this, [this] {
        if (!m_engine.isRunning())
            m_alertUnseen = false;
        update();
    });
    connect(&m_engine, &MonitoringSession::statusChanged, this, [this](const QString& text) {
        m_status = text;
        update();
    });
    update();
}

TrayIcon::~TrayIcon()
{
    delete menu;
}

bool TrayIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    m_icon->show();
}

QString TrayIcon::toolTip() const
{
    QString text = u"Tradevane: "_qs + lookText(m_look);
    const QString detail = m_look == TrayLook::Alert ? m_alertLine : m_status;
    if (m_look != TrayLook::Stopped && !detail.trimmed().isEmpty())
        text += u'\n' + detail.trimmed();
    return text;
}

void TrayIcon::alertRaised(const QString& message)
{
    const QStringList lines = alertLinesOf(message);
    m_alertLine = lines.isEmpty() ? QString() : lines.constFirst();
    if (lines.size() > 1)
        m_alertLine += u" (+%1 more)"_qs.arg(lines.size() - 1);
    m_alertUnseen = true;
    update();
}

void TrayIcon::alertSeen()
{
    if (!m_alertUnseen)
        return;
    m_alertUnseen = false;
    update();
}

void TrayIcon::showMessage(const QString& title, const QString& text)
{
    m_icon->showMessage(title, text, m_icons[static_cast<size_t>(TrayLook::Alert)]);
}

void TrayIcon::update()
{
    m_look = trayLookOf(m_engine.state(), m_alertUnseen);
    m_icon->setIcon(m_icons[static_cast<size_t>(m_look)]);
    m_icon->setToolTip(toolTip());
    const bool running = m_engine.state() != MonitoringSession::State::Idle;
    actStart->setEnabled(!running);
    actStop->setEnabled(running);
}

} // namespace tradevane
