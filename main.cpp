#include "core/AppServices.h"
#include "core/frmSplash.h"
#include "platform/MsgBoxGui.h"
#include "platform/SoundPlayerGui.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window closes (or the terms are refused), never because
    // the start-up window went away before the main window appeared.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallWidgetMessageBoxes();
    AppServices services(PlayWaveOnDefaultOutput);
    frmSplash splash(services);
    if (!splash.Start())
        return 0;
    return QApplication::exec();
}
