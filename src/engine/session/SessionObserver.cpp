#include "engine/session/SessionObserver.h"

#include "platform/MessageBox.h"

namespace tradevane {

void connectObserver(MonitoringSession& engine, SessionObserver& window, QObject* context)
{
    using E = MonitoringSession;
    SessionObserver* w = &window;
    QObject::connect(&engine, &E::runningLook, context, [w](bool running) {
        if (running)
            w->showRunningState();
        else
            w->showStoppedState();
    });
    QObject::connect(&engine, &E::quoteDisplayCleared, context, [w] { w->clearQuoteDisplay(); });
    QObject::connect(&engine, &E::stateChanged, context, [w](E::State state) { w->showState(state); });
    QObject::connect(&engine, &E::statusChanged, context, [w](const QString& text) { w->setStatus(text); });
    QObject::connect(&engine, &E::downloadFrequencyChanged, context,
        [w](const QString& text) { w->setDownloadFrequency(text); });
    QObject::connect(&engine, &E::quoteRowShown, context,
        [w](int stock, const Quote& quote) { w->showQuoteRow(stock, quote); });
    QObject::connect(&engine, &E::priceTextSet, context,
        [w](int stock, const QString& text) { w->setPriceText(stock, text); });
    QObject::connect(&engine, &E::symbolAlertColour, context,
        [w](int stock, bool alert) { w->setSymbolAlertColour(stock, alert); });
    QObject::connect(
        &engine, &E::alertRaised, context, [w](const QString& message) { w->showAlertNotice(message); });
    QObject::connect(&engine, &E::quoteSetFinished, context, [w] { w->refreshLogWindow(); });
    QObject::connect(&engine, &E::connectionRefused, context,
        [w](const QString& message) { w->showConnectionRefused(message); });
}

QString connectionRefusedText()
{
    return joinLines({u"The program cannot detect an active"_qs, u"internet connection. Please check your"_qs,
        u"connection and try again."_qs, u"If you use a Dial-Up modem, please run"_qs,
        u"the Dial-Up Adaptor to connect with your"_qs, u"service provider, then run Tradevane"_qs});
}

} // namespace tradevane
