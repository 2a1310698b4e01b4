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
QPainterPath PriceLine(const QRectF& area)
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

QPixmap BannerPicture(const QFont& base)
{
    QPixmap pixmap(300, 70);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 192, 128), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(PriceLine(QRectF(205, 10, 90, 50)));
    QFont name = base;
    name.setPointSizeF(base.pointSizeF() * 2.6);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(QColor(0, 64, 128));
    painter.drawText(QRectF(0, 0, 300, 70), Qt::AlignLeft | Qt::AlignVCenter, u"Tradevane"_qs);
    return pixmap;
}

// The address as people write it: without the scheme.
QString ShownAddress(const QString& address)
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

    picLogo = new QLabel(this);
    picLogo->setObjectName(u"picLogo"_qs);
    picLogo->setAccessibleName(u"Tradevane logo"_qs);
    picLogo->setPixmap(ProgramLogo(64));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(u"Picture1"_qs);
    Picture1->setAccessibleName(u"Tradevane"_qs);
    Picture1->setPixmap(BannerPicture(font()));

    Label2 = new QLabel(u"Stock Monitoring Software"_qs, this);
    Label2->setObjectName(u"Label2"_qs);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);

    Label3 = new QLabel(this);
    Label3->setObjectName(u"Label3"_qs);

    Label1 = new QLabel(u"Watches up to ten stocks and reports technical alerts by e-mail, sound, "
                        u"a pop-up notice and the activity log."_qs,
        this);
    Label1->setObjectName(u"Label1"_qs);
    Label1->setWordWrap(true);

    lblHyperlink = new ClickLabel(ShownAddress(kWebSite), this);
    lblHyperlink->setObjectName(u"lblHyperlink"_qs);
    lblHyperlink->setAccessibleName(u"Tradevane web site"_qs);
    lblHyperlink->setToolTip(kWebSite);
    lblHyperlink->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblHyperlink->setFocusPolicy(Qt::StrongFocus);
    QPalette link = lblHyperlink->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblHyperlink->setPalette(link);
    QFont underlined = lblHyperlink->font();
    underlined.setUnderline(true);
    lblHyperlink->setFont(underlined);

    cmdOk = Named<QPushButton>(u"Ok"_qs, u"cmdOk"_qs, this);
    cmdOk->setDefault(true);
    cmdOk->setMinimumWidth(90);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(6);
    layout->addWidget(picLogo, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(Picture1, 0, 1);
    layout->addWidget(Label2, 1, 1);
    layout->addWidget(Label3, 2, 1);
    layout->addWidget(Label1, 3, 1);
    layout->addWidget(lblHyperlink, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    layout->addLayout(buttons, 5, 0, 1, 2);
    layout->setRowMinimumHeight(4, 28);
    setFixedWidth(440);

    connect(lblHyperlink, &ClickLabel::clicked, this, &AboutWindow::onHyperlinkClicked);
    connect(cmdOk, &QPushButton::clicked, this, &AboutWindow::onOkClicked);

    loadValues();
}

void AboutWindow::loadValues()
{
    Label3->setText(VersionText());
}

void AboutWindow::onHyperlinkClicked()
{
    const MsgResult answer = MsgBox(JoinLines({u"About to hyperlink to the Tradevane web site."_qs,
                                        u"Is your network or modem now online and active ?"_qs}),
        MsgButtons::OkCancel, u"Confirm active connection"_qs, MsgIcon::Question);
    if (answer != MsgResult::Ok)
        return;
    // Say so when no browser could be started, rather than leaving the user waiting for one.
    if (!OpenWebAddress(QUrl(kWebSite)))
        MsgBox(JoinLines({u"The web browser could not be started."_qs, u"Please visit "_qs + kWebSite}),
            MsgButtons::OkOnly, u"Tradevane web site"_qs, MsgIcon::Exclamation);
}

void AboutWindow::onOkClicked()
{
    hide();
}

AboutWindow* ShowAboutWindow(QWidget* owner)
{
    static QPointer<AboutWindow> window;
    if (!window)
        window = new AboutWindow(owner);
    window->exec();
    return window;
}

} // namespace tradevane
