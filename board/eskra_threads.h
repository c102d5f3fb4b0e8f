// The serial-port board's two per-frame worker threads: read one frame, decode it.
#pragma once

class QSerialPort;

// Takes what the port holds now, on the thread that owns the port (the GUI
// thread): a QSerialPort used from another thread loses its notifiers, and
// then the writes of "Set parameters" never leave and the stream stops.
void FetchEskraPortBytes(QSerialPort* p_pPort);
// Parses the bytes last fetched into the frame double buffer of the main
// window (g_pMainWindow); the sums go into its EskraChecksums. POSIX thread body.
void* EskraReadThread(void* p_pArgument);
// Decodes the last valid frame into the raw frame (MainWindow::ProcessImageEskra).
void* EskraProcessThread(void* p_pArgument);
