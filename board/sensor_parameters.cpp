// The "Set parameters" request of the serial-port board; the pass itself is MainWindow::PushButton_SetModuleParameters (board/mainwindow_board_link.cpp).
#include "board/sensor_parameters.h"

std::atomic<bool> SetParametersPending{false};
