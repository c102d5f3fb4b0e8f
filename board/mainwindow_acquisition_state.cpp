// The main window's press scope around its teardown hold.
#include "board/acquisition_state.h"

#include "mainwindow/MainWindow.h"

MainPressScope::MainPressScope(MainWindow* p_pWindow) : m_pWindow(p_pWindow)
{
    ++m_pWindow->MainPressDepth;
}

MainPressScope::~MainPressScope()
{
    if (--m_pWindow->MainPressDepth == 0)
        m_pWindow->ReleaseTeardownHold();
}
