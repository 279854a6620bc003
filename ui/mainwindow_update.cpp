#include "ui/mainwindow.h"

void TARNO_Gaming::startUpdateCheck()
{
}

void TARNO_Gaming::scanLeftoverExecutables()
{
}
