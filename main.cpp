#include "platform/MsgBoxGui.h"
#include "platform/SoundPlayerGui.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallWidgetMessageBoxes();
    InstallSoundPlayer();
    return 0;
}
