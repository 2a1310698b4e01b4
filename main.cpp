#include "platform/MsgBoxGui.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallWidgetMessageBoxes();
    return 0;
}
