#include "gui/AboutWindow.h"

#include "gui/FormControls.h"
#include "gui/HelpMarker.h"
#include "gui/Logo.h"
#include "gui/WebOpener.h"
#include "platform/MessageBox.h"
#include "platform/Version.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

namespace tradevane {

namespace {

// A price line that dips and breaks out, the picture of what the program watches for.
QPainterPath priceLine(const QRectF& area)
{
    static constexpr double kPrices[]
        = {0.55, 0.62, 0.5, 0.58, 0.45, 0.4, 0.52, 0.47, 0.6, 0.56, 0.72, 0.68, 0.9};
    constexpr int kCount = static_cast<int>(std::size(kPrices));
    QPainterPath path;
    for (int i = 0; i < kCount; ++i) {
        const QPointF point(
            area.left() + area.width() * i / (kCount - 1), area.bottom() - area.height() * kPrices[i]);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

QPixmap bannerPicture(const QFont& base)
{
    QPixmap pixmap(300, 70);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 192, 128), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(priceLine(QRectF(205, 10, 90, 50)));
    QFont name = base;
    name.setPointSizeF(base.pointSizeF() * 2.6);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(QColor(0, 64, 128));
    painter.drawText(QRectF(0, 0, 300, 70), Qt::AlignLeft | Qt::AlignVCenter, u"Tradevane"_qs);
    return pixmap;
}

// The address as people write it: without the scheme.
QString shownAddress(const QString& address)
{
    return QUrl(address).toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash).mid(2);
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"frmAbout"_qs);
    setWindowTitle(QString()); // the window has no caption text
    setAccessibleName(u"About Tradevane"_qs);
    setModal(true);

    m_picLogo = new QLabel(this);
    m_picLogo->setObjectName(u"picLogo"_qs);
    m_picLogo->setAccessibleName(u"Tradevane logo"_qs);
    m_picLogo->setPixmap(programLogo(64));

    m_picture1 = new QLabel(this);
    m_picture1->setObjectName(u"Picture1"_qs);
    m_picture1->setAccessibleName(u"Tradevane"_qs);
    m_picture1->setPixmap(bannerPicture(font()));

    m_label2 = new QLabel(u"Stock Monitoring Software"_qs, this);
    m_label2->setObjectName(u"Label2"_qs);
    QFont bold = m_label2->font();
    bold.setBold(true);
    m_label2->setFont(bold);

    m_label3 = new QLabel(this);
    m_label3->setObjectName(u"Label3"_qs);

    m_label1 = new QLabel(u"Watches up to ten stocks and reports technical alerts by e-mail, sound, "
                          u"a pop-up notice and the activity log."_qs,
        this);
    m_label1->setObjectName(u"Label1"_qs);
    m_label1->setWordWrap(true);

    m_lblHyperlink = new ClickLabel(shownAddress(kWebSite), this);
    m_lblHyperlink->setObjectName(u"lblHyperlink"_qs);
    m_lblHyperlink->setAccessibleName(u"Tradevane web site"_qs);
    m_lblHyperlink->setToolTip(kWebSite);
    m_lblHyperlink->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblHyperlink->setFocusPolicy(Qt::StrongFocus);
    QPalette link = m_lblHyperlink->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_lblHyperlink->setPalette(link);
    QFont underlined = m_lblHyperlink->font();
    underlined.setUnderline(true);
    m_lblHyperlink->setFont(underlined);

    m_cmdOk = named<QPushButton>(u"Ok"_qs, u"cmdOk"_qs, this);
    m_cmdOk->setDefault(true);
    m_cmdOk->setMinimumWidth(90);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(6);
    layout->addWidget(m_picLogo, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(m_picture1, 0, 1);
    layout->addWidget(m_label2, 1, 1);
    layout->addWidget(m_label3, 2, 1);
    layout->addWidget(m_label1, 3, 1);
    layout->addWidget(m_lblHyperlink, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOk);
    layout->addLayout(buttons, 5, 0, 1, 2);
    layout->setRowMinimumHeight(4, 28);
    setFixedWidth(440);

    connect(m_lblHyperlink, &ClickLabel::clicked, this, &AboutWindow::onHyperlinkClicked);
    connect(m_cmdOk, &QPushButton::clicked, this, &AboutWindow::onOkClicked);

    loadValues();
}

void AboutWindow::loadValues()
{
    m_label3->setText(versionText());
}

void AboutWindow::onHyperlinkClicked()
{
    const MsgResult answer = msgBox(joinLines({u"About to hyperlink to the Tradevane web site."_qs,
                                        u"Is your network or modem now online and active ?"_qs}),
        MsgButtons::OkCancel, u"Confirm active connection"_qs, MsgIcon::Question);
    if (answer != MsgResult::Ok)
        return;
    // Say so when no browser could be started, rather than leaving the user waiting for one.
    if (!openWebAddress(QUrl(kWebSite)))
        msgBox(joinLines({u"The web browser could not be started."_qs, u"Please visit "_qs + kWebSite}),
            MsgButtons::OkOnly, u"Tradevane web site"_qs, MsgIcon::Exclamation);
}

void AboutWindow::onOkClicked()
{
    hide();
}

AboutWindow* showAboutWindow(QPointer<AboutWindow>& window, QWidget* owner)
{
    if (!window)
        window = new AboutWindow(owner);
    window->open();
    return window;
}

} // namespace tradevane
